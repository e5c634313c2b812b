// The thread's last FTP server reply, as the platform's Internet library keeps one per thread.
#include "framework/FtpReplyState.h"

#include <cstdlib>

namespace {

// Per thread like the platform's own: a reply read while another thread's
// control is waiting must not become the error that control reports.
thread_local std::string t_lastReply;

}  // namespace

const std::string& GetLastFtpReply()
{
    return t_lastReply;
}

void SetLastFtpReply(const std::string& reply)
{
    t_lastReply = reply;
}

int LastFtpReplyCode()
{
    // The number of the reply's last line: a multi-line reply ends with it.
    const size_t lastLine = t_lastReply.rfind('\n');
    const char* line = t_lastReply.c_str() + (lastLine == std::string::npos ? 0 : lastLine + 1);
    if (line[0] < '1' || line[0] > '5' || line[1] < '0' || line[1] > '9' || line[2] < '0' || line[2] > '9')
        return 0;
    return std::atoi(std::string(line, 3).c_str());
}
