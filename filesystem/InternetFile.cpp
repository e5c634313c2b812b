// A remote file of an FTP connection, read or written in chunks over its data connection, resumed where the network broke it.
#include "filesystem/InternetFile.h"

#include "filesystem/FtpConnection.h"
#include "filesystem/InternetError.h"
#include "ftp/FtpSession.h"
#include "ftp/FtpTransfer.h"

#include <optional>
#include <utility>

CInternetFile::CInternetFile(CFtpConnection& connection, std::string wirePath, Direction direction, LONGLONG size,
                             std::string fileName)
    : CRemoteFile(std::move(fileName)),
      m_connection(&connection),
      m_wirePath(std::move(wirePath)),
      m_direction(direction),
      m_size(size)
{
    Open(0);
}

CInternetFile::~CInternetFile()
{
    Abort();
}

ULONGLONG CInternetFile::Open(ULONGLONG offset)
{
    // The user's Cancel is heard while the connection is made again.
    CFtpSession& session = m_connection->Session();
    session.SetWaitHook(m_hook);
    try {
        m_transfer = m_direction == Direction::download ? m_connection->OpenDownload(m_wirePath, m_size, offset)
                                                        : m_connection->OpenUpload(m_wirePath, offset);
    } catch (...) {
        session.SetWaitHook(nullptr);
        throw;
    }
    session.SetWaitHook(nullptr);
    m_transfer->SetWaitHook(m_hook);
    return offset;
}

void CInternetFile::Raise(const FtpError& error)
{
    m_failure = error;
    RaiseFtpError(error);
}

void CInternetFile::SetWaitHook(CNetworkWaitHook* hook)
{
    m_hook = hook;
    if (m_transfer)
        m_transfer->SetWaitHook(hook);
}

UINT CInternetFile::Read(void* buffer, UINT count)
{
    if (!m_transfer)
        Raise({FtpErrorCode::connectionLost, {}});
    size_t read = 0;
    if (const FtpError error = m_transfer->Read(static_cast<char*>(buffer), count, read))
        Raise(error);
    return static_cast<UINT>(read);
}

void CInternetFile::Write(const void* buffer, UINT count)
{
    if (!m_transfer)
        Raise({FtpErrorCode::connectionLost, {}});
    if (const FtpError error = m_transfer->Write(static_cast<const char*>(buffer), count))
        Raise(error);
}

void CInternetFile::Close()
{
    if (m_transfer) {
        if (const FtpError error = m_transfer->Finish())
            Raise(error);
    }
}

void CInternetFile::Abort()
{
    if (m_transfer)
        m_transfer->Abandon();
}

bool CInternetFile::CanResume() const
{
    const bool cut = IsNetworkBreak(m_failure) || m_failure == FtpErrorCode::sizeMismatch;
    return cut && m_connection->MayResume();
}

ULONGLONG CInternetFile::ResumeAt(ULONGLONG offset)
{
    if (!m_failure && m_transfer && m_transfer->IsOpen() && m_transfer->Position() == offset)
        return offset;
    m_transfer.reset();
    m_failure = {};
    // A download whose size was not known is held to the server's size now.
    if (m_direction == Direction::download && m_size < 0 && offset != 0) {
        std::optional<ULONGLONG> size;
        if (!m_connection->Retried([&] { return m_connection->Session().FileSize(m_wirePath, size); }) && size)
            m_size = static_cast<LONGLONG>(*size);
    }
    return Open(offset);
}
