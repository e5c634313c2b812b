// Names between the control's Shift-JIS and a server's UTF-8.
#pragma once
#include "ftp/FtpError.h"

#include <set>
#include <string>
#include <string_view>

// The mark shown for a character that Shift-JIS does not have: "〓".
inline constexpr char kReplacementMark[] = "\x81\xAC";

// UTF-8 text (invalid sequences included) as Shift-JIS; every character
// code page 932 cannot hold becomes kReplacementMark and sets lossy.
std::string Utf8ToShiftJis(std::string_view text, bool& lossy);
std::string ShiftJisToUtf8(std::string_view text);

// The names of one session on the wire: as they are (Shift-JIS) or in
// UTF-8 once the server speaks it. Remembers each name it had to show with
// a mark, since such a name sent back would name another file.
class CWireNames {
public:
    void SpeakUtf8(bool utf8) { m_utf8 = utf8; }
    // A name of the control as the server's wire text. A line break, or a
    // part shown with a mark, fails as invalidName.
    FtpError ToWire(const std::string& name, std::string& wire) const;
    // A name the server sent, in the control's text.
    std::string FromWire(const std::string& wire);
    // A reply's text in the control's text; nothing is remembered.
    std::string ReplyText(const std::string& wire) const;

private:
    bool m_utf8 = false;
    std::set<std::string> m_lossyNames;
};
