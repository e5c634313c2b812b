// TCP sockets with bounded waits: the FTP connection's control and data channels.
#pragma once
#include <windows.h>

#include <string>

// Asked about every tenth of a second while a network call waits; answering
// false ends the wait, and the call fails as cancelled. The copy loop uses it
// to dispatch window messages (the progress dialog's Cancel, AbortTransfer).
class CNetworkWaitHook {
public:
    virtual bool KeepWaiting() = 0;

protected:
    ~CNetworkWaitHook() = default;
};

// How long one wait may last: until deadline (a GetTickCount64 value), with
// the hook, when there is one, asked in between.
struct CNetworkWait {
    ULONGLONG deadline;
    CNetworkWaitHook* hook;
};

// Winsock for as long as the object lives (WSAStartup / WSACleanup).
class CWinsockUse {
public:
    CWinsockUse();
    ~CWinsockUse();
    CWinsockUse(const CWinsockUse&) = delete;
    CWinsockUse& operator=(const CWinsockUse&) = delete;

private:
    bool m_bStarted = false;
};

// An IPv4 or IPv6 address and port (the bytes of a sockaddr_storage).
struct CSocketAddress {
    alignas(8) unsigned char storage[128] = {};
    int length = 0;

    bool IsV6() const;
    WORD Port() const;
    void SetPort(WORD port);
    // The numeric host, without the port.
    std::string Host() const;
    // The four bytes of an IPv4 address.
    const unsigned char* V4Bytes() const;
    // Whether both name the same host (ports aside).
    bool SameHost(const CSocketAddress& other) const;
};

// Owns one non-blocking socket (move-only). Each call returns 0 or an
// Internet library error number: ERROR_INTERNET_TIMEOUT,
// ERROR_INTERNET_OPERATION_CANCELLED, or one for a connection that failed.
class CSocket {
public:
    CSocket() = default;
    CSocket(CSocket&& other) noexcept;
    CSocket& operator=(CSocket&& other) noexcept;
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;
    ~CSocket();

    explicit operator bool() const { return m_socket != kNone; }
    void Close();

    // Connects to host (a name or a numeric address) on port, trying each
    // of its addresses; peer becomes the address reached.
    DWORD ConnectToHost(const char* host, WORD port, CSocketAddress& peer, const CNetworkWait& wait);
    DWORD Connect(const CSocketAddress& address, const CNetworkWait& wait);
    // Listens on a free port of the address this socket leaves from (the
    // data connection of active mode); bound becomes its address.
    DWORD ListenBeside(const CSocket& connected, CSocketAddress& bound);
    // Takes the next connection of a listening socket.
    DWORD Accept(CSocket& accepted, CSocketAddress& peer, const CNetworkWait& wait);
    // Sends all of data.
    DWORD Send(const char* data, size_t size, const CNetworkWait& wait);
    // Sends what the connection takes now, at least one byte.
    DWORD SendSome(const char* data, size_t size, size_t& sent, const CNetworkWait& wait);
    // Receives what has arrived, at least one byte; received 0 means the peer
    // has closed the connection.
    DWORD Receive(char* buffer, size_t size, size_t& received, const CNetworkWait& wait);
    // Tells the peer that nothing more will be sent (the end of an upload);
    // what was sent before still reaches it.
    void FinishSending();

private:
    static constexpr UINT_PTR kNone = ~static_cast<UINT_PTR>(0);
    bool Create(int family);
    DWORD WaitUntil(bool forWriting, const CNetworkWait& wait) const;

    UINT_PTR m_socket = kNone;
};
