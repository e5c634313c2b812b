// A server played from a script through in-memory streams, and a clock the test moves: FTP conversations byte for byte.
#include "tests/ftp/ScriptedServer.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

// Hands out pending bytes as a delivery allows; with none, waits until the
// deadline (the clock moves there) unless the hook cancels the wait.
NetError Deliver(std::string& pending, bool ended, const Delivery& delivery, CTestClock& clock, char* buffer,
                 size_t size, size_t& received, const CNetworkWait& wait)
{
    received = 0;
    if (!pending.empty() || ended) {
        clock.Advance(delivery.delayPerRead);
        if (clock.Now() > wait.deadline)
            return NetError::timedOut;
        received = std::min({size, pending.size(), delivery.mostPerRead});
        std::memcpy(buffer, pending.data(), received);
        pending.erase(0, received);
        return NetError::none;
    }
    if (wait.hook && !wait.hook->KeepWaiting())
        return NetError::cancelled;
    clock.AdvanceTo(wait.deadline);
    return NetError::timedOut;
}

class CControlStream : public CByteStream {
public:
    explicit CControlStream(CControlScript& script) : m_script(script) {}
    NetError ReadSome(char* buffer, size_t size, size_t& received, const CNetworkWait& wait) override
    {
        return m_script.Read(buffer, size, received, wait);
    }
    NetError WriteSome(const char* data, size_t size, size_t& sent, const CNetworkWait&) override
    {
        return m_script.Write(data, size, sent);
    }
    NetError FinishSending(const CNetworkWait&) override { return NetError::none; }
    void Close() override {}
    bool HasInput() override { return m_script.HasInput(); }

private:
    CControlScript& m_script;
};

class CDataStream : public CByteStream {
public:
    CDataStream(DataScript& script, CTestClock& clock) : m_script(script), m_clock(clock), m_pending(script.bytes) {}
    NetError ReadSome(char* buffer, size_t size, size_t& received, const CNetworkWait& wait) override
    {
        return Deliver(m_pending, !m_script.endsSilently, m_script.delivery, m_clock, buffer, size, received, wait);
    }
    NetError WriteSome(const char* data, size_t size, size_t& sent, const CNetworkWait& wait) override
    {
        if (m_script.endsSilently) {
            // A peer that takes nothing: the client's wait runs out.
            sent = 0;
            if (wait.hook && !wait.hook->KeepWaiting())
                return NetError::cancelled;
            m_clock.AdvanceTo(wait.deadline);
            return NetError::timedOut;
        }
        m_clock.Advance(m_script.delivery.delayPerRead);
        sent = std::min(size, m_script.delivery.mostPerRead);
        m_script.received.append(data, sent);
        return NetError::none;
    }
    NetError FinishSending(const CNetworkWait&) override
    {
        m_script.finishedSending = true;
        return NetError::none;
    }
    void Close() override {}

private:
    DataScript& m_script;
    CTestClock& m_clock;
    std::string m_pending;
};

class CScriptedListener : public CListener {
public:
    CScriptedListener(std::unique_ptr<CByteStream> stream, std::string peerHost)
        : m_stream(std::move(stream)), m_peerHost(std::move(peerHost))
    {
    }
    NetError Accept(std::unique_ptr<CByteStream>& stream, CSocketAddress& peer, const CNetworkWait&) override
    {
        if (!m_stream)
            return NetError::cannotConnect;
        stream = std::move(m_stream);
        peer = CSocketAddress::FromNumeric(m_peerHost, 20);
        return NetError::none;
    }

private:
    std::unique_ptr<CByteStream> m_stream;
    std::string m_peerHost;
};

}  // namespace

CControlScript::CControlScript(std::vector<Exchange> exchanges, CTestClock& clock, Delivery delivery)
    : m_exchanges(std::move(exchanges)), m_clock(clock), m_delivery(delivery)
{
    if (!m_exchanges.empty() && m_exchanges.front().client.empty())
        Answer(m_exchanges[m_next++]);
}

void CControlScript::Answer(const Exchange& exchange)
{
    m_pending += exchange.server;
    m_bClosed = exchange.then == Then::close;
}

NetError CControlScript::Read(char* buffer, size_t size, size_t& received, const CNetworkWait& wait)
{
    return Deliver(m_pending, m_bClosed, m_delivery, m_clock, buffer, size, received, wait);
}

NetError CControlScript::Write(const char* data, size_t size, size_t& sent)
{
    if (m_bClosed && m_pending.empty())
        return NetError::connectionReset;
    sent = size;
    m_sent.append(data, size);
    m_line.append(data, size);
    for (size_t end = m_line.find("\r\n"); end != std::string::npos; end = m_line.find("\r\n")) {
        const std::string line = m_line.substr(0, end);
        m_line.erase(0, end + 2);
        if (!m_unexpected.empty())
            continue;
        if (m_next < m_exchanges.size() && m_exchanges[m_next].client == line)
            Answer(m_exchanges[m_next++]);
        else
            m_unexpected = line;
    }
    return NetError::none;
}

CScriptedConnector::CScriptedConnector(CControlScript& control, std::deque<DataScript*> data, CTestClock& clock,
                                       std::string peerHost)
    : dataPeerHost(peerHost), m_control(control), m_data(std::move(data)), m_clock(clock), m_peerHost(peerHost)
{
}

NetError CScriptedConnector::ConnectToHost(const std::string&, WORD port, std::unique_ptr<CByteStream>& stream,
                                           CSocketAddress& peer, const CNetworkWait&)
{
    stream = std::make_unique<CControlStream>(m_control);
    peer = CSocketAddress::FromNumeric(m_peerHost, port);
    return NetError::none;
}

std::unique_ptr<CByteStream> CScriptedConnector::NextData()
{
    if (m_data.empty())
        return nullptr;
    DataScript* script = m_data.front();
    m_data.pop_front();
    return std::make_unique<CDataStream>(*script, m_clock);
}

NetError CScriptedConnector::ConnectTo(const CSocketAddress& address, std::unique_ptr<CByteStream>& stream,
                                       const CNetworkWait&)
{
    connectedTo.push_back(address.Host() + " " + std::to_string(address.Port()));
    stream = NextData();
    return stream ? NetError::none : NetError::cannotConnect;
}

CServerCertificate TestCertificate(const std::string& name)
{
    static std::map<std::string, CServerCertificate> made;
    auto found = made.find(name);
    if (found != made.end())
        return found->second;
    const std::wstring subject = L"CN=" + std::wstring(name.begin(), name.end());
    BYTE encoded[256];
    DWORD size = sizeof encoded;
    CERT_NAME_BLOB blob = {0, encoded};
    if (CertStrToNameW(X509_ASN_ENCODING, subject.c_str(), CERT_X500_NAME_STR, nullptr, encoded, &size, nullptr))
        blob.cbData = size;
    CServerCertificate certificate(CertCreateSelfSignCertificate(0, &blob, 0, nullptr, nullptr, nullptr, nullptr,
                                                                 nullptr));
    made.emplace(name, certificate);
    return certificate;
}

NetError CScriptedConnector::Secure(std::unique_ptr<CByteStream>&, const std::string& host,
                                    CServerCertificate& certificate, const CNetworkWait& wait)
{
    securedFor.push_back(host);
    SecureScript script;
    if (!secures.empty()) {
        script = secures.front();
        secures.pop_front();
    }
    switch (script.outcome) {
    case SecureScript::completes:
        break;
    case SecureScript::afterAWait:
        if (wait.hook && !wait.hook->KeepWaiting())
            return NetError::cancelled;
        break;
    case SecureScript::fails:
        return NetError::secureChannelFailed;
    case SecureScript::stalls:
        if (wait.hook && !wait.hook->KeepWaiting())
            return NetError::cancelled;
        m_clock.AdvanceTo(wait.deadline);
        return NetError::timedOut;
    }
    certificate = TestCertificate(script.certificate);
    return NetError::none;
}

NetError CScriptedConnector::Listen(std::unique_ptr<CListener>& listener, CSocketAddress& local)
{
    local = CSocketAddress::FromNumeric("192.0.2.99", 0x1234);
    listener = std::make_unique<CScriptedListener>(NextData(), dataPeerHost);
    return NetError::none;
}
