// The byte streams of the bare loops: a blocking socket, and Schannel's TLS over one.
#pragma once
#include <winsock2.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

#include <string>
#include <vector>

// What the bare loops read and write: a connection in clear or over TLS.
class BareStream {
public:
    virtual ~BareStream() = default;
    virtual void SendAll(const char* data, size_t size) = 0;
    // Up to size bytes, as they come; 0 when the peer has sent everything.
    virtual size_t Receive(char* buffer, size_t size) = 0;
    // Tells the peer that nothing more comes.
    virtual void FinishSending() = 0;
};

// One blocking TCP socket; Winsock is started for the object's life.
class BareSocket : public BareStream {
public:
    BareSocket();
    BareSocket(const BareSocket&) = delete;
    BareSocket& operator=(const BareSocket&) = delete;
    ~BareSocket() override;

    SOCKET Get() const { return m_socket; }
    void Connect(const std::string& host, u_short port);
    // Listens on address (its port chosen by the system) and returns where.
    sockaddr_in Listen(sockaddr_in address);
    // Waits for the peer and goes on with its connection instead.
    void AcceptOne();

    void SendAll(const char* data, size_t size) override;
    size_t Receive(char* buffer, size_t size) override;
    void FinishSending() override;

private:
    SOCKET m_socket = INVALID_SOCKET;
};

// A TLS client over a connected socket, as plainly as Schannel allows: the
// handshake at construction, then each call moves what one socket call
// brings or one buffer of records. The server's certificate is not checked
// (the bench's is self-signed), as curl -k does not.
class BareTls : public BareStream {
public:
    BareTls(BareSocket& socket, const std::string& host);
    BareTls(const BareTls&) = delete;
    BareTls& operator=(const BareTls&) = delete;
    ~BareTls() override;

    void SendAll(const char* data, size_t size) override;
    size_t Receive(char* buffer, size_t size) override;
    void FinishSending() override;

private:
    void Handshake(const std::wstring& host);
    void SendToken(SecBuffer& token);
    // Reads more of the peer's bytes after those held; false at the end.
    bool ReceiveMore();

    BareSocket& m_socket;
    CredHandle m_credentials = {};
    CtxtHandle m_context = {};
    bool m_bContext = false;
    SecPkgContext_StreamSizes m_sizes = {};
    std::vector<char> m_in;      // received, not yet decrypted: [m_inBegin, m_inEnd)
    size_t m_inBegin = 0;
    size_t m_inEnd = 0;
    const char* m_plain = nullptr;  // decrypted in place in m_in, not yet handed out
    size_t m_plainSize = 0;
    std::vector<char> m_out;     // records being sent
    bool m_bEnded = false;
};
