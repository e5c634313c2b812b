// TLS over another byte stream through the platform's Schannel: handshake, records, close_notify.
#pragma once
#include "net/ByteStream.h"
#include "net/ServerCertificate.h"
#include "net/UninitialisedBytes.h"

#define SECURITY_WIN32
#include <windows.h>
#include <security.h>

#include <memory>
#include <string>
#include <vector>

// One credentials handle of the Schannel client. Streams that share it (a
// control connection and its data connections) let the platform resume the
// control connection's TLS session where it can.
class CTlsCredentials {
public:
    CTlsCredentials() = default;
    CTlsCredentials(const CTlsCredentials&) = delete;
    CTlsCredentials& operator=(const CTlsCredentials&) = delete;
    ~CTlsCredentials();

    // Acquires the handle once; false when the platform has no TLS client.
    bool Acquire();
    CredHandle* Handle() { return &m_handle; }

private:
    CredHandle m_handle = {};
    bool m_acquired = false;
};

// A client stream: the handshake runs in Start, within its wait; the
// server's certificate is not judged here (the session decides, with the
// host's pin and the platform's chain check).
class CTlsStream : public CByteStream {
public:
    CTlsStream(std::unique_ptr<CByteStream> inner, CTlsCredentials& credentials, std::string targetName);
    CTlsStream(const CTlsStream&) = delete;
    CTlsStream& operator=(const CTlsStream&) = delete;
    ~CTlsStream() override;

    // The handshake; NetError::secureChannelFailed when the server speaks no
    // TLS or the platform and the server agree on nothing.
    NetError Start(const CNetworkWait& wait);
    CServerCertificate ServerCertificate() const;

    NetError ReadSome(char* buffer, size_t size, size_t& received, const CNetworkWait& wait) override;
    NetError WriteSome(const char* data, size_t size, size_t& sent, const CNetworkWait& wait) override;
    // Sends close_notify, then ends the inner stream's sending.
    NetError FinishSending(const CNetworkWait& wait) override;
    void Close() override;
    bool HasInput() override;

private:
    // Runs InitializeSecurityContext until the handshake is done, with
    // m_received as its input.
    NetError Handshake(const CNetworkWait& wait, bool firstCall);
    NetError SendToken(SecBuffer& token, const CNetworkWait& wait);
    // Reads more of the peer's bytes into m_received.
    NetError ReceiveMore(const CNetworkWait& wait, bool& ended);
    // Decrypts whole records of m_received into m_plain; needMore when a
    // record is not whole yet, handshakeAgain when the peer sent handshake
    // messages after the handshake.
    NetError DecryptReceived(bool& needMore, bool& handshakeAgain);
    NetError SendCloseNotify(const CNetworkWait& wait);

    std::unique_ptr<CByteStream> m_inner;
    CTlsCredentials& m_credentials;
    std::wstring m_targetName;
    CtxtHandle m_context = {};
    bool m_hasContext = false;
    bool m_ready = false;
    bool m_peerClosed = false;
    bool m_closeNotifySent = false;
    SecPkgContext_StreamSizes m_sizes = {};
    CUninitialisedBytes m_received;  // encrypted bytes not yet decrypted
    CUninitialisedBytes m_records;   // records being sent, kept between sends
    std::string m_plain;             // decrypted bytes not yet read
    size_t m_plainRead = 0;
};
