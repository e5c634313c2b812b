// One data transfer of an FTP session: its data connection, its pace, its end.
#include "ftp/FtpTransfer.h"

#include "ftp/FtpSession.h"
#include "ftp/ReplyParsers.h"

#include <algorithm>
#include <climits>
#include <optional>

CFtpTransfer::CFtpTransfer(CFtpSession& session, std::unique_ptr<CByteStream> data, const FtpReply& start)
    : m_session(session),
      m_data(std::move(data)),
      m_pace(session.Timeout(), session.m_clock),
      m_completed(start.Kind() == 2)
{
    ULONGLONG announced = 0;
    if (AnnouncedSize(start.text, announced) && announced <= static_cast<ULONGLONG>(LLONG_MAX))
        m_announcedSize = static_cast<LONGLONG>(announced);
}

void CFtpTransfer::StartsAt(ULONGLONG offset)
{
    m_moved = offset;
    m_announcedSize = -1;
}

void CFtpTransfer::ExpectDownloadOf(LONGLONG size)
{
    m_expectedSize = m_announcedSize >= 0 ? m_announcedSize : size;
}

void CFtpTransfer::VerifyUploadTo(std::string wirePath)
{
    m_uploadPath = std::move(wirePath);
}

CFtpTransfer::~CFtpTransfer()
{
    Abandon();
}

void CFtpTransfer::SetWaitHook(CNetworkWaitHook* hook)
{
    if (m_open)
        m_session.SetWaitHook(hook);
}

void CFtpTransfer::EndData()
{
    m_open = false;
    if (m_data)
        m_data->Close();
    m_data.reset();
}

FtpError CFtpTransfer::Fail(const FtpError& error)
{
    EndData();
    m_session.SetWaitHook(nullptr);
    return m_session.EndFailedTransfer(error);
}

FtpError CFtpTransfer::Read(char* buffer, size_t size, size_t& read)
{
    read = 0;
    if (!m_open)
        return {FtpErrorCode::connectionLost, {}};
    while (read < size && m_data) {
        if (const FtpError error = KeepControlAlive())
            return Fail(error);
        size_t received = 0;
        const NetError error =
            m_data->ReadSome(buffer + read, size - read, received, m_session.WaitFor(WaitDeadline()));
        if (error == NetError::timedOut && (m_session.m_clock.Now() < m_pace.Deadline() || m_pace.NextWindow()))
            continue;
        if (error != NetError::none)
            return Fail(NetworkFailure(error));
        if (received == 0) {
            // The server has sent all (or closed the connection early: Finish tells).
            m_data->Close();
            m_data.reset();
            break;
        }
        m_pace.Count(received);
        m_moved += received;
        read += received;
    }
    return {};
}

FtpError CFtpTransfer::Write(const char* data, size_t size)
{
    if (!m_open || !m_data)
        return {FtpErrorCode::connectionLost, {}};
    while (size > 0) {
        if (const FtpError error = KeepControlAlive())
            return Fail(error);
        // What the peer really takes is counted for the pace.
        size_t sent = 0;
        const NetError error = m_data->WriteSome(data, size, sent, m_session.WaitFor(WaitDeadline()));
        if (error == NetError::timedOut && (m_session.m_clock.Now() < m_pace.Deadline() || m_pace.NextWindow()))
            continue;
        if (error != NetError::none)
            return Fail(NetworkFailure(error));
        m_pace.Count(sent);
        m_moved += sent;
        data += sent;
        size -= sent;
    }
    return {};
}

FtpError CFtpTransfer::Finish()
{
    if (!m_open)
        return {};
    if (m_data)
        m_data->FinishSending(m_session.WaitOneTimeout());
    EndData();
    m_session.TransferEnded();
    FtpError error = ReadFinalReply();
    if (!error)
        error = CheckSize();
    m_session.SetWaitHook(nullptr);
    return error;
}

FtpError CFtpTransfer::ReadFinalReply()
{
    // Servers answer NOOP at once or after the transfer: its final reply is
    // the one that is not NOOP's "200", and every reply is read either way.
    FtpError verdict;
    bool ended = m_completed;
    int& keepAlives = m_session.m_noopsInFlight;
    while (!ended || keepAlives > 0) {
        FtpReply reply;
        if (const FtpError error = m_session.ReadFinalReply(reply, true))
            return error;
        if (reply.code == 200 && keepAlives > 0) {
            --keepAlives;
        } else if (!ended) {
            ended = true;
            if (reply.Kind() != 2)
                verdict = {FtpErrorCode::brokenOff, reply.text};
        } else {
            --keepAlives;  // a NOOP the server refused
        }
    }
    return verdict;
}

ULONGLONG CFtpTransfer::WaitDeadline() const
{
    const DWORD keepAlive = m_session.m_options.keepAliveMilliseconds;
    return keepAlive ? std::min(m_pace.Deadline(), m_session.m_lastTraffic + keepAlive) : m_pace.Deadline();
}

FtpError CFtpTransfer::KeepControlAlive()
{
    return m_session.KeepAliveDue() ? m_session.SendKeepAlive() : FtpError{};
}

FtpError CFtpTransfer::CheckSize()
{
    if (!m_uploadPath.empty()) {
        std::optional<ULONGLONG> held;
        if (const FtpError error = m_session.FileSize(m_uploadPath, held))
            return error;
        if (held && *held != m_moved)
            return {FtpErrorCode::sizeMismatch, {}};
    }
    if (m_expectedSize >= 0 && static_cast<ULONGLONG>(m_expectedSize) != m_moved)
        return {FtpErrorCode::sizeMismatch, {}};
    return {};
}

void CFtpTransfer::Abandon()
{
    if (!m_open)
        return;
    EndData();
    m_session.SetWaitHook(nullptr);
    m_session.Resynchronise();
}
