// A server played from a script through in-memory streams, and a clock the test moves: FTP conversations byte for byte.
#pragma once
#include "net/Connector.h"
#include "net/WinsockUse.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

// Milliseconds that move only when a stream waits or a test says so.
class CTestClock : public CClock {
public:
    ULONGLONG Now() const override { return m_now; }
    void Advance(ULONGLONG milliseconds) { m_now += milliseconds; }
    void AdvanceTo(ULONGLONG when)
    {
        if (when > m_now)
            m_now = when;
    }

private:
    ULONGLONG m_now = 1000000;
};

// What the server does once it has sent its bytes of an exchange.
enum class Then {
    listen,  // waits for the client's next line
    close,   // ends the connection: the client reads its end
};

// One turn of the control connection: the line the client must send
// (without CR LF; "" for the greeting, which needs none) and the bytes the
// server answers with.
struct Exchange {
    std::string client;
    std::string server;
    Then then = Then::listen;
};

// How a stream hands out its bytes and how long it takes.
struct Delivery {
    size_t mostPerRead = 1 << 20;  // 1: every byte in a read of its own
    ULONGLONG delayPerRead = 0;    // milliseconds each read takes
};

// The server's side of the control connection. A client line that is not
// the one expected is recorded and ends the script (the server says no
// more). When it has nothing to say, a read waits until its deadline: the
// clock moves there and the read times out, unless the wait hook cancels it.
class CControlScript {
public:
    CControlScript(std::vector<Exchange> exchanges, CTestClock& clock, Delivery delivery = {});

    // Everything the client sent, byte for byte.
    const std::string& Sent() const { return m_sent; }
    // The first line the script did not expect, or "".
    const std::string& Unexpected() const { return m_unexpected; }
    // How the server's bytes arrive from now on.
    void SetDelivery(const Delivery& delivery) { m_delivery = delivery; }
    // Whether every exchange took place.
    bool Finished() const { return m_next == m_exchanges.size() && m_unexpected.empty(); }

    NetError Read(char* buffer, size_t size, size_t& received, const CNetworkWait& wait);
    NetError Write(const char* data, size_t size, size_t& sent);
    // Whether a read would return at once.
    bool HasInput() const { return !m_pending.empty() || m_bClosed; }

private:
    void Answer(const Exchange& exchange);

    std::vector<Exchange> m_exchanges;
    size_t m_next = 0;
    CTestClock& m_clock;
    Delivery m_delivery;
    std::string m_pending;  // server bytes not read yet
    bool m_bClosed = false;
    std::string m_sent;
    std::string m_line;
    std::string m_unexpected;
};

// One data connection: the bytes the server sends on it, then its end, or
// silence (waits run out), and what the client writes on it.
struct DataScript {
    DataScript(std::string sent = {}, bool silentAtTheEnd = false, Delivery pace = {})
        : bytes(std::move(sent)), endsSilently(silentAtTheEnd), delivery(pace)
    {
    }

    std::string bytes;
    bool endsSilently;
    Delivery delivery;
    // Filled in as the client uses it.
    std::string received;
    bool finishedSending = false;
};

// How a scripted TLS handshake goes. The secured stream is the same stream
// (the script's bytes stay plain): what is scripted is the handshake's
// outcome, its timing against the server's replies, and the certificate.
struct SecureScript {
    enum Outcome {
        completes,   // at once
        afterAWait,  // after asking the wait's hook once, as a handshake
                     // waiting for the server's bytes does
        fails,       // the peer breaks the handshake off
        stalls,      // the peer says nothing: the wait runs out
    } outcome = completes;
    // The certificate presented: one made for the test with this name.
    std::string certificate = "server";
};

// A self-signed certificate made for the test run, one per name (CN=name).
CServerCertificate TestCertificate(const std::string& name);

// Hands the session the scripted control connection (peer 192.0.2.10 port
// 21, or the address given) and the scripted data connections in order,
// and records where the client connected to.
class CScriptedConnector : public CConnector {
public:
    CScriptedConnector(CControlScript& control, std::deque<DataScript*> data, CTestClock& clock,
                       std::string peerHost = "192.0.2.10");

    NetError ConnectToHost(const std::string& host, WORD port, std::unique_ptr<CByteStream>& stream,
                           CSocketAddress& peer, const CNetworkWait& wait) override;
    NetError ConnectTo(const CSocketAddress& address, std::unique_ptr<CByteStream>& stream,
                       const CNetworkWait& wait) override;
    NetError Listen(std::unique_ptr<CListener>& listener, CSocketAddress& local) override;
    // Runs the next of secures (completes, "server", when none is left).
    NetError Secure(std::unique_ptr<CByteStream>& stream, const std::string& host, CServerCertificate& certificate,
                    const CNetworkWait& wait) override;

    std::deque<SecureScript> secures;
    // The host each handshake was run for, in order.
    std::vector<std::string> securedFor;

    // Where passive data connections went ("host port").
    std::vector<std::string> connectedTo;
    // The address active-mode data connections come from.
    std::string dataPeerHost;

private:
    std::unique_ptr<CByteStream> NextData();

    CWinsockUse m_winsock;  // for the addresses' conversions
    CControlScript& m_control;
    std::deque<DataScript*> m_data;
    CTestClock& m_clock;
    std::string m_peerHost;
};
