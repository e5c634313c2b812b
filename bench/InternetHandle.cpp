// An owned WinInet handle, and the session and FTP connection the benchmark hosts open as the control does.
#include "bench/InternetHandle.h"

#include <string>
#include <utility>

InternetHandle::InternetHandle(HINTERNET handle, const char* what) : m_handle(handle)
{
    if (!m_handle)
        throw BenchError(std::string(what) + " failed (error " + std::to_string(GetLastError()) + ")");
}

InternetHandle::~InternetHandle()
{
    if (m_handle)
        InternetCloseHandle(m_handle);
}

void InternetHandle::Close()
{
    if (m_handle && !InternetCloseHandle(std::exchange(m_handle, nullptr)))
        throw BenchError("InternetCloseHandle failed (error " + std::to_string(GetLastError()) + ")");
}

InternetHandle OpenSession()
{
    return InternetHandle(InternetOpenA("WyFTPBench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0),
                          "InternetOpen");
}

InternetHandle ConnectFtp(const InternetHandle& session, const BenchSetup& setup, bool passive)
{
    return InternetHandle(InternetConnectA(session.Get(), setup.host.c_str(), static_cast<INTERNET_PORT>(setup.port),
                                           setup.user.c_str(), setup.password.c_str(), INTERNET_SERVICE_FTP,
                                           passive ? INTERNET_FLAG_PASSIVE : 0, 1),
                          "InternetConnect");
}
