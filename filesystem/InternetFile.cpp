// A remote file of an FTP connection, read or written in chunks over its data connection.
#include "filesystem/InternetFile.h"

#include "filesystem/InternetError.h"
#include "ftp/FtpTransfer.h"

#include <utility>

CInternetFile::CInternetFile(std::unique_ptr<CFtpTransfer> transfer, std::string fileName)
    : CFile(std::move(fileName)), m_transfer(std::move(transfer))
{
}

CInternetFile::CInternetFile(CInternetFile&& other) noexcept
    : CFile(std::move(other)), m_transfer(std::move(other.m_transfer))
{
}

CInternetFile::~CInternetFile()
{
    Abort();
}

void CInternetFile::SetWaitHook(CNetworkWaitHook* hook)
{
    if (m_transfer)
        m_transfer->SetWaitHook(hook);
}

UINT CInternetFile::Read(void* buffer, UINT count)
{
    if (!m_transfer)
        RaiseFtpError({FtpErrorCode::connectionLost, {}});
    size_t read = 0;
    if (const FtpError error = m_transfer->Read(static_cast<char*>(buffer), count, read))
        RaiseFtpError(error);
    return static_cast<UINT>(read);
}

void CInternetFile::Write(const void* buffer, UINT count)
{
    if (!m_transfer)
        RaiseFtpError({FtpErrorCode::connectionLost, {}});
    if (const FtpError error = m_transfer->Write(static_cast<const char*>(buffer), count))
        RaiseFtpError(error);
}

void CInternetFile::Close()
{
    if (m_transfer) {
        if (const FtpError error = m_transfer->Finish())
            RaiseFtpError(error);
    }
}

void CInternetFile::Abort()
{
    if (m_transfer)
        m_transfer->Abandon();
}
