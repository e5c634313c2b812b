// Server replies assembled from the bytes of the control connection, however they are split.
#include "ftp/ReplyAssembler.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool IsReplyNumber(const std::string& line)
{
    return line.size() >= 3 && line[0] >= '1' && line[0] <= '5' && line[1] >= '0' && line[1] <= '9'
        && line[2] >= '0' && line[2] <= '9';
}

int ReplyNumber(const std::string& line)
{
    return std::atoi(line.substr(0, 3).c_str());
}

}  // namespace

void CReplyAssembler::Feed(std::string_view bytes)
{
    m_received.append(bytes);
}

bool CReplyAssembler::NextLine(std::string& line)
{
    const size_t end = m_received.find('\n');
    const size_t taken = end == std::string::npos ? m_received.size() : end;
    // A line without end keeps its start; what goes past the cap is dropped.
    m_line.append(m_received, 0, std::min(taken, kMaxLine - std::min(m_line.size(), kMaxLine)));
    if (end == std::string::npos) {
        m_received.clear();
        return false;
    }
    m_received.erase(0, end + 1);
    line = std::move(m_line);
    m_line.clear();
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

CReplyAssembler::Result CReplyAssembler::Take(FtpReply& reply)
{
    std::string line;
    while (NextLine(line)) {
        if (m_closing.empty()) {
            if (!IsReplyNumber(line))
                return Result::malformed;
            m_text = line;
            if (line.size() > 3 && line[3] == '-') {
                m_closing = line.substr(0, 3) + " ";
                continue;
            }
        } else {
            if (m_text.size() < kMaxReply)
                m_text += "\r\n" + line;
            // Only the number that opened the reply closes it, followed by a
            // space or by nothing.
            if (line.compare(0, 4, m_closing) != 0 && line != m_closing.substr(0, 3))
                continue;
            m_closing.clear();
        }
        reply.code = ReplyNumber(line);
        reply.text = std::move(m_text);
        m_text.clear();
        return Result::complete;
    }
    return Result::needMore;
}
