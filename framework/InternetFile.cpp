// A remote file opened on an FTP connection, read or written in chunks over its data connection.
#include "framework/InternetFile.h"

#include "framework/InternetException.h"

#include <wininet.h>

#include <utility>

CInternetFile::CInternetFile(CFtpControlChannel* channel, CSocket data, bool writing, std::string fileName,
                             DWORD_PTR context)
    : CFile(std::move(fileName)),
      m_pChannel(channel),
      m_data(std::move(data)),
      m_bWriting(writing),
      m_dwContext(context),
      m_pace(channel->Timeout())
{
}

CInternetFile::CInternetFile(CInternetFile&& other) noexcept
    : CFile(std::move(other)),
      m_pChannel(other.m_pChannel),
      m_data(std::move(other.m_data)),
      m_bWriting(other.m_bWriting),
      m_dwContext(other.m_dwContext),
      m_pace(other.m_pace),
      m_bOpen(std::exchange(other.m_bOpen, false))
{
}

CInternetFile::~CInternetFile()
{
    Abort();
}

void CInternetFile::SetWaitHook(CNetworkWaitHook* hook)
{
    if (m_bOpen)
        m_pChannel->SetWaitHook(hook);
}

void CInternetFile::Fail(DWORD error)
{
    m_data.Close();
    m_bOpen = false;
    m_pChannel->SetWaitHook(nullptr);
    CInternetException::Throw(m_pChannel->FailData(error), m_dwContext);
}

UINT CInternetFile::Read(void* buffer, UINT count)
{
    if (!m_bOpen)
        CInternetException::Throw(ERROR_INVALID_HANDLE, m_dwContext);
    char* bytes = static_cast<char*>(buffer);
    UINT read = 0;
    while (read < count && m_data) {
        size_t received = 0;
        const DWORD error = m_data.Receive(bytes + read, count - read, received, m_pChannel->WaitFor(m_pace.Deadline()));
        if (error == ERROR_INTERNET_TIMEOUT && m_pace.NextWindow())
            continue;
        if (error)
            Fail(error);
        if (received == 0) {
            // The server has sent all (or closed the connection early: Close tells).
            m_data.Close();
            break;
        }
        m_pace.Count(received);
        read += static_cast<UINT>(received);
    }
    return read;
}

void CInternetFile::Write(const void* buffer, UINT count)
{
    if (!m_bOpen || !m_data)
        CInternetException::Throw(ERROR_INVALID_HANDLE, m_dwContext);
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        // What the peer really takes is counted for the pace.
        size_t sent = 0;
        const DWORD error = m_data.SendSome(bytes, count, sent, m_pChannel->WaitFor(m_pace.Deadline()));
        if (error == ERROR_INTERNET_TIMEOUT && m_pace.NextWindow())
            continue;
        if (error)
            Fail(error);
        m_pace.Count(sent);
        bytes += sent;
        count -= static_cast<UINT>(sent);
    }
}

void CInternetFile::Close()
{
    if (!m_bOpen)
        return;
    m_bOpen = false;
    if (m_bWriting)
        m_data.FinishSending();
    m_data.Close();
    const DWORD error = m_pChannel->FinishData();
    m_pChannel->SetWaitHook(nullptr);
    if (error)
        CInternetException::Throw(error, m_dwContext);
}

void CInternetFile::Abort()
{
    if (!m_bOpen)
        return;
    m_bOpen = false;
    m_data.Close();
    m_pChannel->AbandonData();
    m_pChannel->SetWaitHook(nullptr);
}
