// An owned WinInet handle, and the session and FTP connection the benchmark hosts open as the control does.
#pragma once
#include "bench/TransferCase.h"

#include <windows.h>
#include <wininet.h>

// One owned HINTERNET; throws BenchError naming the call when it is null.
class InternetHandle {
public:
    InternetHandle(HINTERNET handle, const char* what);
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle();
    HINTERNET Get() const { return m_handle; }
    // Closing a file handle ends the transfer: its failure is the transfer's.
    void Close();

private:
    HINTERNET m_handle;
};

// As the control's sessions: preconfigured access, no proxy, synchronous.
InternetHandle OpenSession();
// The setup's host and port, its user and password; active mode (no
// INTERNET_FLAG_PASSIVE), as the control connects by default, unless passive.
InternetHandle ConnectFtp(const InternetHandle& session, const BenchSetup& setup, bool passive = false);
