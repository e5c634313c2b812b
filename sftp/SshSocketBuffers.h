// The bytes between libssh2 and its socket, gathered into few socket calls.
#pragma once
#include "net/NetError.h"
#include "net/NetworkWait.h"
#include "net/Socket.h"

#include <sys/types.h>

#include <cstddef>
#include <vector>

// libssh2 reads and writes one SSH packet (at most about 35,000 bytes) per
// socket call, and under Wine every socket call is a round trip to the
// server process: a transfer spent its time there. Reads here take all that
// has arrived (up to kInboundSize) and hand it to libssh2 packet by packet;
// writes are gathered until the session waits for the peer or a call ends,
// and go out together.
class CSshSocketBuffers {
public:
    explicit CSshSocketBuffers(CSocket& socket) : m_socket(socket) {}
    CSshSocketBuffers(const CSshSocketBuffers&) = delete;
    CSshSocketBuffers& operator=(const CSshSocketBuffers&) = delete;

    // libssh2's recv and send: a count of bytes, 0 at the end of the
    // stream, -EAGAIN when the socket would block, or another -errno.
    ssize_t Receive(void* buffer, size_t length);
    ssize_t Send(const void* data, size_t length);

    // The next read asks the socket again: a new call of libssh2 begins, or
    // one is about to wait. Until then a socket found empty stays so:
    // libssh2 drains the socket before every packet it looks for, and each
    // look would be a round trip. A call that must wait says so.
    void AskAgain() { m_drained = false; }
    bool HasInput() const { return m_inStart < m_inEnd; }
    bool HasOutput() const { return m_outStart < m_out.size(); }
    // Sends everything gathered, waiting while the socket takes no more.
    NetError Flush(const CNetworkWait& wait);
    // Forgets both directions (a new connection).
    void Clear();

private:
    static constexpr size_t kInboundSize = 1024 * 1024;
    static constexpr size_t kOutboundLimit = 1024 * 1024;
    // Sends what the socket takes now; false when it failed.
    bool SendWhatFits();
    size_t Pending() const { return m_out.size() - m_outStart; }

    CSocket& m_socket;
    std::vector<char> m_in;
    size_t m_inStart = 0;
    size_t m_inEnd = 0;
    bool m_drained = false;  // found empty in this call
    std::vector<char> m_out;
    size_t m_outStart = 0;  // what went out of m_out already
};
