// The bytes between libssh2 and its socket, gathered into few socket calls.
#include "sftp/SshSocketBuffers.h"

#include <winsock2.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

ssize_t CSshSocketBuffers::Receive(void* buffer, size_t length)
{
    if (!HasInput()) {
        if (m_drained)
            return -EAGAIN;
        m_in.resize(kInboundSize);
        const int count = recv(static_cast<SOCKET>(m_socket.Handle()), m_in.data(), static_cast<int>(m_in.size()), 0);
        if (count < 0) {
            m_drained = WSAGetLastError() == WSAEWOULDBLOCK;
            return m_drained ? -EAGAIN : -ECONNRESET;
        }
        m_inStart = 0;
        m_inEnd = static_cast<size_t>(count);
        if (count == 0)
            return 0;
    }
    const size_t copied = std::min(length, m_inEnd - m_inStart);
    std::memcpy(buffer, m_in.data() + m_inStart, copied);
    m_inStart += copied;
    return static_cast<ssize_t>(copied);
}

ssize_t CSshSocketBuffers::Send(const void* data, size_t length)
{
    if (Pending() + length > kOutboundLimit) {
        if (!SendWhatFits())
            return -ECONNRESET;
        // libssh2 waits for the socket then, and the wait sends the rest.
        if (Pending() + length > kOutboundLimit && HasOutput())
            return -EAGAIN;
    }
    // What went out is dropped only here, never by moving what waits.
    if (m_outStart == m_out.size()) {
        m_out.clear();
        m_outStart = 0;
    }
    const char* bytes = static_cast<const char*>(data);
    m_out.insert(m_out.end(), bytes, bytes + length);
    return static_cast<ssize_t>(length);
}

bool CSshSocketBuffers::SendWhatFits()
{
    while (HasOutput()) {
        const int piece = static_cast<int>(std::min<size_t>(Pending(), 64u << 20));
        const int count = send(static_cast<SOCKET>(m_socket.Handle()), m_out.data() + m_outStart, piece, 0);
        if (count <= 0)
            return WSAGetLastError() == WSAEWOULDBLOCK;
        m_outStart += static_cast<size_t>(count);
    }
    return true;
}

NetError CSshSocketBuffers::Flush(const CNetworkWait& wait)
{
    const NetError error = m_socket.WriteAll(m_out.data() + m_outStart, Pending(), wait);
    m_out.clear();
    m_outStart = 0;
    return error;
}

void CSshSocketBuffers::Clear()
{
    m_inStart = m_inEnd = 0;
    m_out.clear();
    m_outStart = 0;
}
