// FTP failures raised as the Internet library raises them: its error numbers, and the server's reply for 12003.
#pragma once
#include "framework/Exception.h"
#include "ftp/FtpError.h"

#include <windows.h>

// The Internet library's number for an FTP failure (12002 timeout, 12003
// server reply, 12015 login refused, 12029 no connection, 12030 connection
// lost, 12110 transfer in progress, ...); 0 for none.
DWORD InternetErrorNumber(FtpErrorCode code);

// A wait of a transfer that the user's or the host's abort cancelled: the
// copy loop ends the transfer as aborted (20202).
class CTransferCancelled : public CException {};

// Raises error as CInternetException: the one place where an FTP failure
// becomes what hosts see. Only a server's error reply (12003) carries its
// text; the other numbers have the Internet library's texts. A cancelled
// wait is CTransferCancelled, a transfer of the wrong size the control's
// own error 20204.
[[noreturn]] void RaiseFtpError(const FtpError& error);
