// A file on an SFTP server, read or written in chunks through one handle, resumed by offset where the network broke it.
#include "filesystem/SftpFile.h"

#include "filesystem/InternetError.h"
#include "filesystem/SftpConnection.h"

#include <algorithm>
#include <utility>

CSftpFile::CSftpFile(CSftpConnection& connection, std::string wirePath, Direction direction, LONGLONG size)
    : m_connection(connection), m_wirePath(std::move(wirePath)), m_direction(direction), m_size(size)
{
    Open(0);
}

CSftpFile::~CSftpFile()
{
    Abort();
}

void CSftpFile::Open(ULONGLONG offset)
{
    CSshSession& session = m_connection.Session();
    const bool reading = m_direction == Direction::download;
    // An upload from the start replaces the file; one that goes on keeps it.
    const unsigned long flags = reading ? LIBSSH2_FXF_READ
                                        : LIBSSH2_FXF_WRITE | LIBSSH2_FXF_CREAT | (offset == 0 ? LIBSSH2_FXF_TRUNC : 0);
    session.Trace(std::string(reading ? "OPEN READ " : "OPEN WRITE ") + m_wirePath
                  + (offset ? " @" + std::to_string(offset) : std::string()));
    if (const FtpError error = session.Revive())
        Raise(error);
    const auto length = static_cast<unsigned>(m_wirePath.size());
    m_handle = session.Run([&] {
        return libssh2_sftp_open_ex(session.Sftp(), m_wirePath.c_str(), length, flags, 0644, LIBSSH2_SFTP_OPENFILE);
    });
    if (!m_handle)
        RaiseFailure();
    m_generation = session.Generation();
    libssh2_sftp_seek64(m_handle, offset);
    m_position = offset;
    m_unconfirmed.clear();
    m_unconfirmedStart = 0;
}

UINT CSftpFile::Read(void* buffer, UINT count)
{
    CSshSession& session = m_connection.Session();
    char* bytes = static_cast<char*>(buffer);
    UINT filled = 0;
    while (filled < count) {
        const size_t ask = std::min<size_t>(count - filled, kRequestSize);
        const ssize_t read = session.Run([&] { return libssh2_sftp_read(m_handle, bytes + filled, ask); });
        if (read < 0)
            RaiseFailure();
        if (read == 0)
            break;
        filled += static_cast<UINT>(read);
    }
    m_position += filled;
    return filled;
}

void CSftpFile::Write(const void* buffer, UINT count)
{
    // What was confirmed goes once it is most of the buffer, not at every
    // confirmation: each takes one packet's worth.
    if (m_unconfirmedStart >= kWriteAhead) {
        m_unconfirmed.erase(m_unconfirmed.begin(), m_unconfirmed.begin() + static_cast<std::ptrdiff_t>(m_unconfirmedStart));
        m_unconfirmedStart = 0;
    }
    const char* bytes = static_cast<const char*>(buffer);
    m_unconfirmed.insert(m_unconfirmed.end(), bytes, bytes + count);
    CSshSession::CStream stream(m_connection.Session());
    while (m_unconfirmed.size() - m_unconfirmedStart > kWriteAhead)
        ConfirmSome();
    if (!stream.End())
        RaiseFailure();
}

void CSftpFile::ConfirmSome()
{
    CSshSession& session = m_connection.Session();
    const char* pending = m_unconfirmed.data() + m_unconfirmedStart;
    const size_t size = std::min(m_unconfirmed.size() - m_unconfirmedStart, kRequestSize);
    // libssh2 sends what it has not sent yet and reports what the server
    // confirmed since the last call.
    const ssize_t confirmed = session.Run([&] { return libssh2_sftp_write(m_handle, pending, size); });
    if (confirmed < 0)
        RaiseFailure();
    m_unconfirmedStart += static_cast<size_t>(confirmed);
    m_position += static_cast<ULONGLONG>(confirmed);
}

void CSftpFile::Close()
{
    CSshSession& session = m_connection.Session();
    if (!m_handle)
        return;
    while (m_unconfirmedStart < m_unconfirmed.size())
        ConfirmSome();
    const int closed = session.Run([&] { return libssh2_sftp_close_handle(m_handle); });
    m_handle = nullptr;
    if (closed < 0)
        RaiseFailure();
    if (m_direction == Direction::download) {
        if (m_size >= 0 && m_position != static_cast<ULONGLONG>(m_size))
            Raise({FtpErrorCode::sizeMismatch, {}});
        return;
    }
    LIBSSH2_SFTP_ATTRIBUTES attributes = {};
    if (m_connection.Stat(m_wirePath, attributes) && (attributes.flags & LIBSSH2_SFTP_ATTR_SIZE)
        && attributes.filesize != m_position)
        Raise({FtpErrorCode::sizeMismatch, {}});
}

void CSftpFile::Abort()
{
    CSshSession& session = m_connection.Session();
    // A handle of a session that broke went with it.
    if (m_handle && m_generation == session.Generation() && !session.IsBroken())
        session.Run([&] { return libssh2_sftp_close_handle(m_handle); });
    m_handle = nullptr;
}

bool CSftpFile::CanResume() const
{
    return IsNetworkBreak(m_failure) && m_connection.Session().WillReconnect();
}

ULONGLONG CSftpFile::ResumeAt(ULONGLONG offset)
{
    if (m_handle && m_position == offset && !m_connection.Session().IsBroken())
        return offset;
    Abort();
    if (const FtpError error = m_connection.Session().Revive())
        Raise(error);
    ULONGLONG start = offset;
    if (m_direction == Direction::upload) {
        // What the server holds is what the upload goes on from.
        LIBSSH2_SFTP_ATTRIBUTES attributes = {};
        const bool held = m_connection.Stat(m_wirePath, attributes) && (attributes.flags & LIBSSH2_SFTP_ATTR_SIZE);
        start = held ? std::min(attributes.filesize, offset) : 0;
    }
    Open(start);
    return start;
}

void CSftpFile::SetWaitHook(CNetworkWaitHook* hook)
{
    m_connection.Session().SetWaitHook(hook);
}

void CSftpFile::RaiseFailure()
{
    Raise(m_connection.Session().Failure());
}

void CSftpFile::Raise(const FtpError& error)
{
    m_failure = error;
    RaiseFtpError(error);
}
