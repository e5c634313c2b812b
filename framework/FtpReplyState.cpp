// The thread's last FTP server reply, as the platform's Internet library keeps one per thread.
#include "framework/FtpReplyState.h"

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
