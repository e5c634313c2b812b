// Plain TCP connections for an FTP session: the control connection, then data connections beside it.
#include "net/Connector.h"

#include "net/Socket.h"
#include "net/TlsStream.h"
#include "net/WinsockUse.h"

namespace {

class CTcpListener : public CListener {
public:
    CSocket socket;

    NetError Accept(std::unique_ptr<CByteStream>& stream, CSocketAddress& peer, const CNetworkWait& wait) override
    {
        auto accepted = std::make_unique<CSocket>();
        if (const NetError error = socket.Accept(*accepted, peer, wait); error != NetError::none)
            return error;
        stream = std::move(accepted);
        return NetError::none;
    }
};

class CTcpConnector : public CConnector {
public:
    NetError ConnectToHost(const std::string& host, WORD port, std::unique_ptr<CByteStream>& stream,
                           CSocketAddress& peer, const CNetworkWait& wait) override
    {
        auto socket = std::make_unique<CSocket>();
        if (const NetError error = socket->ConnectToHost(host, port, peer, wait); error != NetError::none)
            return error;
        // Data connections of active mode listen where the control
        // connection leaves from.
        socket->LocalAddress(m_local);
        stream = std::move(socket);
        return NetError::none;
    }

    NetError ConnectTo(const CSocketAddress& address, std::unique_ptr<CByteStream>& stream,
                       const CNetworkWait& wait) override
    {
        auto socket = std::make_unique<CSocket>();
        if (const NetError error = socket->Connect(address, wait); error != NetError::none)
            return error;
        stream = std::move(socket);
        return NetError::none;
    }

    NetError Listen(std::unique_ptr<CListener>& listener, CSocketAddress& local) override
    {
        if (m_local.length == 0)
            return NetError::cannotConnect;
        local = m_local;
        auto listening = std::make_unique<CTcpListener>();
        if (const NetError error = listening->socket.Listen(local); error != NetError::none)
            return error;
        listener = std::move(listening);
        return NetError::none;
    }

    NetError Secure(std::unique_ptr<CByteStream>& stream, const std::string& host, CServerCertificate& certificate,
                    const CNetworkWait& wait) override
    {
        auto secure = std::make_unique<CTlsStream>(std::move(stream), m_credentials, host);
        if (const NetError error = secure->Start(wait); error != NetError::none)
            return error;
        certificate = secure->ServerCertificate();
        stream = std::move(secure);
        return NetError::none;
    }

private:
    CWinsockUse m_winsock;
    CSocketAddress m_local;
    // Shared by every stream this connector secures, which hold it by
    // reference: the session that owns the connector ends its streams first.
    CTlsCredentials m_credentials;
};

}  // namespace

NetError CConnector::Secure(std::unique_ptr<CByteStream>&, const std::string&, CServerCertificate&,
                            const CNetworkWait&)
{
    return NetError::secureChannelFailed;
}

std::unique_ptr<CConnector> MakeTcpConnector()
{
    return std::make_unique<CTcpConnector>();
}
