// The thread's last FTP server reply, as the platform's Internet library keeps one per thread.
#pragma once
#include <string>

// The last reply any FTP connection of this thread received: every line, joined by "\r\n".
const std::string& GetLastFtpReply();
void SetLastFtpReply(const std::string& reply);
