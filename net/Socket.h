// TCP sockets with bounded waits: the byte stream of a plain connection.
#pragma once
#include "net/ByteStream.h"
#include "net/SocketAddress.h"

#include <string>

// Owns one non-blocking socket. Every wait ends by its deadline (timed out)
// or when its hook says stop (cancelled).
class CSocket : public CByteStream {
public:
    CSocket() = default;
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;
    ~CSocket() override;

    explicit operator bool() const { return m_socket != kNone; }
    void Close() override;

    // Connects to host (a name or a numeric address) on port, trying each
    // of its addresses; peer becomes the address reached.
    NetError ConnectToHost(const std::string& host, WORD port, CSocketAddress& peer, const CNetworkWait& wait);
    NetError Connect(const CSocketAddress& address, const CNetworkWait& wait);
    // The address this connected socket leaves from.
    bool LocalAddress(CSocketAddress& local) const;
    // Listens on a free port of local's host; local's port becomes that port.
    NetError Listen(CSocketAddress& local);
    // Takes the next connection of a listening socket.
    NetError Accept(CSocket& accepted, CSocketAddress& peer, const CNetworkWait& wait);

    // The socket itself, for a library that reads and writes it directly
    // (it stays non-blocking).
    UINT_PTR Handle() const { return m_socket; }
    // Waits until the socket can be written (or read).
    NetError WaitUntil(bool forWriting, const CNetworkWait& wait) const;

    NetError ReadSome(char* buffer, size_t size, size_t& received, const CNetworkWait& wait) override;
    NetError WriteSome(const char* data, size_t size, size_t& sent, const CNetworkWait& wait) override;
    NetError FinishSending(const CNetworkWait& wait) override;
    bool HasInput() override;

private:
    static constexpr UINT_PTR kNone = ~static_cast<UINT_PTR>(0);
    bool Create(int family);
    void Adopt(UINT_PTR socket);

    UINT_PTR m_socket = kNone;
};
