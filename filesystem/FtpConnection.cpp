// A logged-in FTP connection as the FTP store uses it: directories, renames, deletions and remote files.
#include "filesystem/FtpConnection.h"

#include "filesystem/WyFTPUrl.h"
#include "filesystem/InternetError.h"
#include "filesystem/WyFTPException.h"
#include "filesystem/WyPath.h"
#include "ftp/FtpSession.h"
#include "ftp/FtpTransfer.h"
#include "ftp/ReplyParsers.h"

#include <utility>

namespace {

void Check(const FtpError& error)
{
    if (error)
        RaiseFtpError(error);
}

}  // namespace

std::unique_ptr<CFtpConnection> CFtpConnection::Open(const std::string& server, const std::string& user,
                                                     const std::string& password, const CFtpOptions& options,
                                                     CNetworkWaitHook* standingHook)
{
    if (options.port == 0)
        throw CWyFTPException(WyFTPErrorCreateObject);
    auto session = std::make_unique<CFtpSession>(options, MakeTcpConnector());
    session->SetStandingHook(standingHook);
    Check(session->Open(server, user, password));
    return std::make_unique<CFtpConnection>(std::move(session), server, options.port);
}

CFtpConnection::CFtpConnection(std::unique_ptr<CFtpSession> session, std::string serverName, WORD port)
    : m_session(std::move(session)), m_serverName(std::move(serverName)), m_port(port)
{
}

CFtpConnection::~CFtpConnection()
{
    Close();
}

std::string CFtpConnection::GetUrlPrefix() const
{
    const std::string prefix = std::string(FtpSchemeOf(m_session->SecurityMode())) + m_serverName;
    return m_port == kFtpPort ? prefix : prefix + ":" + std::to_string(m_port);
}

void CFtpConnection::PathCommand(const char* verb, const char* path, int expected) const
{
    std::string wire;
    Check(m_session->Names().ToWire(TextOf(path), wire));
    Check(m_session->Expect(std::string(verb) + " " + wire, expected));
}

void CFtpConnection::SetCurrentDirectory(const char* directory)
{
    Check(m_session->ChangeDirectory(TextOf(directory)));
}

std::string CFtpConnection::GetCurrentDirectory() const
{
    std::string directory;
    Check(m_session->AskWorkingDirectory(directory));
    return directory;
}

std::string CFtpConnection::GetCurrentDirectoryAsURL() const
{
    const std::string directory = GetCurrentDirectory();
    return GetUrlPrefix() + (directory.empty() || directory[0] != '/' ? "/" : "") + directory;
}

void CFtpConnection::CreateDirectory(const char* directory)
{
    PathCommand("MKD", directory);
}

void CFtpConnection::RemoveDirectory(const char* directory)
{
    PathCommand("RMD", directory);
}

void CFtpConnection::Remove(const char* fileName)
{
    PathCommand("DELE", fileName);
}

void CFtpConnection::Rename(const char* oldName, const char* newName)
{
    // Both names are checked before RNFR: a refused new name must not leave
    // the server waiting for the RNTO of a rename that will not come.
    std::string wire;
    Check(m_session->Names().ToWire(TextOf(newName), wire));
    PathCommand("RNFR", oldName, 350);
    PathCommand("RNTO", newName);
}

std::unique_ptr<CFtpTransfer> CFtpConnection::OpenTransfer(const char* verb, const std::string& wirePath)
{
    std::unique_ptr<CFtpTransfer> transfer;
    Check(m_session->OpenTransfer(std::string(verb) + " " + wirePath, 'I', transfer));
    return transfer;
}

CInternetFile CFtpConnection::OpenForReading(const char* fileName, LONGLONG size)
{
    std::string wire;
    Check(m_session->Names().ToWire(TextOf(fileName), wire));
    std::unique_ptr<CFtpTransfer> transfer = OpenTransfer("RETR", wire);
    transfer->ExpectDownloadOf(size);
    return CInternetFile(std::move(transfer), TextOf(fileName));
}

CInternetFile CFtpConnection::OpenForWriting(const char* fileName)
{
    std::string wire;
    Check(m_session->Names().ToWire(TextOf(fileName), wire));
    std::unique_ptr<CFtpTransfer> transfer = OpenTransfer("STOR", wire);
    transfer->VerifyUploadTo(wire);
    return CInternetFile(std::move(transfer), TextOf(fileName));
}

void CFtpConnection::Close()
{
    m_session->Close();
}
