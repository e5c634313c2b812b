// A directory listing read over a data connection and parsed into entries.
#include "ftp/ListingReader.h"

#include "ftp/FtpSession.h"
#include "ftp/FtpTransfer.h"
#include "ftp/ListingParser.h"
#include "ftp/ReplyParsers.h"

#include <cstdlib>
#include <optional>

namespace {

constexpr LONGLONG kTicksPerSecond = 10000000;
// Time zones are whole quarter hours, and no farther than this from UTC.
constexpr LONGLONG kQuarterHourSeconds = 15 * 60;
constexpr LONGLONG kFarthestOffsetSeconds = 14 * 60 * 60;

// The listing's bytes, read as a remote file is: the same deadlines and pace.
FtpError ReadListingBytes(CFtpSession& session, const std::string& command, std::string& listing)
{
    std::unique_ptr<CFtpTransfer> transfer;
    if (const FtpError error = session.OpenTransfer(command, 'A', transfer))
        return error;
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
    return transfer->Finish();
}

// Every line of a listing, without its line end, through parse; names
// converted from the wire.
template <typename Parse>
void ParseLines(CFtpSession& session, const std::string& listing, Parse parse, std::vector<FtpEntry>& entries)
{
    for (const std::string& line : SplitLines(listing)) {
        FtpEntry entry;
        if (!parse(line, entry))
            continue;
        entry.name = session.Names().FromWire(entry.name);
        entries.push_back(std::move(entry));
    }
}

LONGLONG Seconds(const FILETIME& time)
{
    return static_cast<LONGLONG>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime)
        / kTicksPerSecond;
}

void MoveBy(FILETIME& time, LONGLONG seconds)
{
    const ULONGLONG ticks = ((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime)
        + static_cast<ULONGLONG>(seconds * kTicksPerSecond);
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

// Learns how far the server's listed times are ahead of UTC: MDTM tells the
// UTC time of a file whose listed time is known to the minute.
FtpError LearnListingOffset(CFtpSession& session, const std::string& directory, const std::vector<FtpEntry>& entries)
{
    for (const FtpEntry& entry : entries) {
        if (entry.kind != FtpEntry::Kind::file || !entry.hasTimeOfDay)
            continue;
        std::string wire;
        if (session.Names().ToWire(JoinFtpPath(directory, entry.name), wire))
            continue;
        FtpReply reply;
        if (const FtpError error = session.Command("MDTM " + wire, reply))
            return error;
        SYSTEMTIME utc;
        FILETIME exact;
        LONGLONG offset = 0;
        if (reply.Kind() == 2 && ModificationTime(reply.text, utc) && SystemTimeToFileTime(&utc, &exact)) {
            // The listing drops the seconds: round to the nearest quarter hour.
            const LONGLONG ahead = Seconds(entry.written) - Seconds(exact);
            offset = (ahead + (ahead >= 0 ? 1 : -1) * kQuarterHourSeconds / 2) / kQuarterHourSeconds
                * kQuarterHourSeconds;
            if (std::llabs(offset) > kFarthestOffsetSeconds)
                offset = 0;
        }
        session.ListingOffsetSeconds() = offset;
        return {};
    }
    return {};
}

// Asks what each link leads to: SIZE answers for files (with the target's
// size) and is refused for directories.
FtpError ResolveLinks(CFtpSession& session, const std::string& directory, std::vector<FtpEntry>& entries)
{
    size_t asked = 0;
    for (FtpEntry& entry : entries) {
        if (entry.kind != FtpEntry::Kind::link || asked == kMostLinksResolved)
            continue;
        ++asked;
        std::string wire;
        if (session.Names().ToWire(JoinFtpPath(directory, entry.name), wire))
            continue;
        std::optional<ULONGLONG> size;
        if (const FtpError error = session.FileSize(wire, size))
            return error;
        if (size) {
            entry.kind = FtpEntry::Kind::file;
            entry.size = *size;
        } else {
            entry.kind = FtpEntry::Kind::directory;
            entry.size = 0;
        }
    }
    return {};
}

// LIST inside directory, then back to where the session was.
FtpError ListInside(CFtpSession& session, const std::string& directory, std::string& listing)
{
    std::string here;
    if (const FtpError error = session.WorkingDirectory(here))
        return error;
    const bool moving = here != directory;
    if (moving) {
        if (const FtpError error = session.ChangeDirectory(directory))
            return error;
    }
    const FtpError listed = ReadListingBytes(session, "LIST", listing);
    if (moving && !session.IsBroken()) {
        if (const FtpError error = session.ChangeDirectory(here))
            return listed ? listed : error;
    }
    return listed;
}

}  // namespace

std::string JoinFtpPath(const std::string& directory, const std::string& name)
{
    if (directory.empty())
        return name;
    return directory.back() == '/' ? directory + name : directory + "/" + name;
}

FtpError ListDirectory(CFtpSession& session, const std::string& directory, std::vector<FtpEntry>& entries)
{
    std::string listing;
    if (session.Offers("MLST")) {
        std::string wire;
        if (const FtpError error = session.Names().ToWire(directory, wire))
            return error;
        if (const FtpError error = ReadListingBytes(session, "MLSD " + wire, listing))
            return error;
        ParseLines(session, listing, ParseFactsLine, entries);
        return ResolveLinks(session, directory, entries);
    }
    if (const FtpError error = ListInside(session, directory, listing))
        return error;
    SYSTEMTIME now;
    GetSystemTime(&now);
    ParseLines(session, listing,
               [&now](const std::string& line, FtpEntry& entry) { return ParseListingLine(line, now, entry); },
               entries);
    if (!session.ListingOffsetSeconds()) {
        if (const FtpError error = LearnListingOffset(session, directory, entries))
            return error;
    }
    // A date given without a time of day is the server's date too: its
    // midnight in the server's zone.
    if (const LONGLONG offset = session.ListingOffsetSeconds().value_or(0)) {
        for (FtpEntry& entry : entries)
            MoveBy(entry.written, -offset);
    }
    return ResolveLinks(session, directory, entries);
}

FtpError DescribePath(CFtpSession& session, const std::string& path, std::optional<FtpEntry>& entry)
{
    entry.reset();
    std::string wire;
    if (!session.Offers("MLST") || session.Names().ToWire(path, wire))
        return {};
    FtpReply reply;
    if (const FtpError error = session.Command("MLST " + wire, reply))
        return error;
    // "250-Listing path", " facts /path", "250 End": the fact line is the
    // one that begins with a space; its name is the whole path.
    for (const std::string& line : SplitLines(reply.Kind() == 2 ? reply.text : std::string())) {
        const size_t space = line.find(' ', 1);
        FtpEntry described;
        if (line.size() < 2 || line[0] != ' ' || space == std::string::npos
            || !ParseFacts(line.substr(1, space - 1), described))
            continue;
        described.name = path.substr(path.rfind('/') + 1);
        entry = described;
        return {};
    }
    return {};
}
