// Server replies assembled from the bytes of the control connection, however they are split.
#pragma once
#include <string>
#include <string_view>

// One whole reply: its number and every line, joined by CR LF, as received.
struct FtpReply {
    int code = 0;
    std::string text;

    int Kind() const { return code / 100; }  // 1 preliminary, 2 done, 3 more needed, 4 and 5 refused
};

// Bytes go in as they arrive; whole replies come out. A reply "123-" opens
// several lines, closed by a line "123 " (lines between may look like other
// replies). A line or a reply longer than the caps is cut where it is kept,
// the rest still read: a server cannot make the client hold more.
class CReplyAssembler {
public:
    static constexpr size_t kMaxLine = 8 * 1024;
    static constexpr size_t kMaxReply = 64 * 1024;

    enum class Result {
        needMore,   // no whole reply yet
        complete,   // reply holds the next one
        malformed,  // the server sent a line that opens no reply: it does not speak FTP
    };

    void Feed(std::string_view bytes);
    Result Take(FtpReply& reply);

private:
    // The next line (without its CR LF) when a whole one has arrived.
    bool NextLine(std::string& line);

    std::string m_received;  // bytes after the last whole line
    std::string m_line;      // the line being received, at most kMaxLine
    std::string m_text;      // the reply being assembled
    std::string m_closing;   // "123 " while a reply of several lines is open
};
