// A directory listing read over a data connection and parsed into entries.
#include "ftp/ListingReader.h"

#include "ftp/FtpSession.h"
#include "ftp/FtpTransfer.h"
#include "ftp/ListingParser.h"

namespace {

// The listing's bytes, read as a remote file is: the same deadlines and pace.
FtpError ReadListingBytes(CFtpSession& session, const std::string& wire, std::string& listing, bool& cutOff)
{
    std::unique_ptr<CFtpTransfer> transfer;
    if (const FtpError error = session.OpenTransfer(wire.empty() ? "LIST" : "LIST " + wire, 'A', transfer)) {
        cutOff = error != FtpErrorCode::refused;
        return error;
    }
    cutOff = true;
    char buffer[16 * 1024];
    for (;;) {
        size_t read = 0;
        if (const FtpError error = transfer->Read(buffer, sizeof buffer, read))
            return error;
        if (read == 0)
            break;
        if (listing.size() + read > kMaxListingBytes) {
            transfer->Abandon();
            return {FtpErrorCode::tooLarge, {}};
        }
        listing.append(buffer, read);
    }
    if (const FtpError error = transfer->Finish())
        return error;
    cutOff = false;
    return {};
}

}  // namespace

FtpError ReadListing(CFtpSession& session, const std::string& argument, std::vector<WIN32_FIND_DATAA>& entries,
                     bool& cutOff)
{
    cutOff = false;
    std::string wire;
    if (const FtpError error = session.ToWire(argument, wire))
        return error;
    std::string listing;
    if (const FtpError error = ReadListingBytes(session, wire, listing, cutOff))
        return error;
    SYSTEMTIME now;
    GetSystemTime(&now);
    size_t start = 0;
    while (start < listing.size()) {
        size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        std::string line = listing.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        WIN32_FIND_DATAA entry;
        if (!ParseListingLine(line, now, entry))
            continue;
        const std::string name = session.FromWire(entry.cFileName);
        if (name.size() >= sizeof entry.cFileName)
            continue;
        lstrcpynA(entry.cFileName, name.c_str(), sizeof entry.cFileName);
        entries.push_back(entry);
    }
    return {};
}
