// TLS over another byte stream through the platform's Schannel: handshake, records, close_notify.
#include "net/TlsStream.h"

#include <schannel.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY
    | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
// Bytes asked of the socket at once, and plain bytes encrypted for one
// send: many records per system call (each costs a trip to the wineserver
// under Wine), not one. A chunk of the default TransferByte (1 MiB) goes in
// one send: in four, waiting for room four times cost the wineserver twice
// the bare loop's CPU time.
constexpr size_t kReadChunk = 256 * 1024;
constexpr size_t kWriteBatch = 1024 * 1024;
// The content type of a TLS record that carries an alert.
constexpr unsigned char kAlertRecord = 21;
// The most a peer may make the handshake hold before it completes.
constexpr size_t kMostHandshakeBytes = 256 * 1024;

// Frees a buffer Schannel allocated when it goes.
struct ContextBuffer {
    SecBuffer buffer = {0, SECBUFFER_TOKEN, nullptr};
    ~ContextBuffer()
    {
        if (buffer.pvBuffer)
            FreeContextBuffer(buffer.pvBuffer);
    }
};

}  // namespace

CTlsCredentials::~CTlsCredentials()
{
    if (m_acquired)
        FreeCredentialsHandle(&m_handle);
}

bool CTlsCredentials::Acquire()
{
    if (m_acquired)
        return true;
    SCHANNEL_CRED settings = {};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    // The server's certificate is judged by the session (chain, policy,
    // pin, the host's answer); no client certificate is offered.
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    TimeStamp expiry;
    wchar_t package[] = UNISP_NAME_W;
    m_acquired = AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &settings, nullptr,
                                            nullptr, &m_handle, &expiry)
        == SEC_E_OK;
    return m_acquired;
}

CTlsStream::CTlsStream(std::unique_ptr<CByteStream> inner, CTlsCredentials& credentials, std::string targetName)
    : m_inner(std::move(inner)), m_credentials(credentials), m_targetName(targetName.begin(), targetName.end())
{
}

CTlsStream::~CTlsStream()
{
    Close();
}

void CTlsStream::Close()
{
    if (m_inner)
        m_inner->Close();
    if (m_hasContext) {
        DeleteSecurityContext(&m_context);
        m_hasContext = false;
    }
    m_ready = false;
}

NetError CTlsStream::SendToken(SecBuffer& token, const CNetworkWait& wait)
{
    if (token.cbBuffer == 0 || !token.pvBuffer)
        return NetError::none;
    return m_inner->WriteAll(static_cast<const char*>(token.pvBuffer), token.cbBuffer, wait);
}

NetError CTlsStream::ReceiveMore(const CNetworkWait& wait, bool& ended)
{
    const size_t before = m_received.size();
    m_received.resize(before + kReadChunk);
    size_t received = 0;
    const NetError error = m_inner->ReadSome(m_received.data() + before, kReadChunk, received, wait);
    m_received.resize(before + received);
    ended = error == NetError::none && received == 0;
    return error;
}

NetError CTlsStream::Start(const CNetworkWait& wait)
{
    if (!m_inner || !m_credentials.Acquire())
        return NetError::secureChannelFailed;
    if (const NetError error = Handshake(wait, true); error != NetError::none)
        return error;
    if (QueryContextAttributesW(&m_context, SECPKG_ATTR_STREAM_SIZES, &m_sizes) != SEC_E_OK)
        return NetError::secureChannelFailed;
    m_ready = true;
    return NetError::none;
}

NetError CTlsStream::Handshake(const CNetworkWait& wait, bool firstCall)
{
    bool needInput = !firstCall && m_received.empty();
    for (;;) {
        if (needInput) {
            if (m_received.size() > kMostHandshakeBytes)
                return NetError::secureChannelFailed;
            bool ended = false;
            if (const NetError error = ReceiveMore(wait, ended); error != NetError::none)
                return error;
            if (ended)
                return NetError::secureChannelFailed;
        }
        SecBuffer input[2] = {
            {static_cast<unsigned long>(m_received.size()), SECBUFFER_TOKEN, m_received.data()},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc inputs = {SECBUFFER_VERSION, 2, input};
        ContextBuffer token;
        SecBufferDesc outputs = {SECBUFFER_VERSION, 1, &token.buffer};
        ULONG attributes = 0;
        TimeStamp expiry;
        const SECURITY_STATUS status = InitializeSecurityContextW(
            m_credentials.Handle(), firstCall ? nullptr : &m_context, m_targetName.data(), kContextFlags, 0, 0,
            firstCall ? nullptr : &inputs, 0, firstCall ? &m_context : nullptr, &outputs, &attributes, &expiry);
        if (firstCall && (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK))
            m_hasContext = true;
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            needInput = true;
            continue;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED)
            return NetError::secureChannelFailed;
        if (const NetError error = SendToken(token.buffer, wait); error != NetError::none)
            return error;
        // What the call did not consume stays for the next one (or is the
        // first application data when the handshake is done).
        if (!firstCall) {
            if (input[1].BufferType == SECBUFFER_EXTRA && input[1].cbBuffer > 0)
                m_received.erase(m_received.begin(), m_received.end() - input[1].cbBuffer);
            else
                m_received.clear();
        }
        if (status == SEC_E_OK)
            return NetError::none;
        firstCall = false;
        needInput = m_received.empty();
    }
}

CServerCertificate CTlsStream::ServerCertificate() const
{
    PCCERT_CONTEXT certificate = nullptr;
    if (!m_hasContext
        || QueryContextAttributesW(const_cast<CtxtHandle*>(&m_context), SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate)
            != SEC_E_OK)
        return {};
    return CServerCertificate(certificate);
}

NetError CTlsStream::DecryptReceived(bool& needMore, bool& handshakeAgain)
{
    needMore = false;
    handshakeAgain = false;
    // Records are decrypted in place, one after the other; what they used
    // is dropped once at the end.
    size_t start = 0;
    NetError result = NetError::none;
    while (start < m_received.size()) {
        char* record = m_received.data() + start;
        SecBuffer buffers[4] = {
            {static_cast<unsigned long>(m_received.size() - start), SECBUFFER_DATA, record},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc description = {SECBUFFER_VERSION, 4, buffers};
        // Some platforms decrypt the peer's close_notify as an empty record
        // instead of saying the context has expired: the record's type
        // (21, an alert) tells.
        const bool alert = static_cast<unsigned char>(record[0]) == kAlertRecord;
        const size_t plainBefore = m_plain.size();
        const SECURITY_STATUS status = DecryptMessage(&m_context, &description, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            needMore = true;
            break;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTEXT_EXPIRED && status != SEC_I_RENEGOTIATE) {
            result = NetError::secureChannelFailed;
            break;
        }
        size_t next = m_received.size();
        for (const SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer > 0)
                m_plain.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
            else if (buffer.BufferType == SECBUFFER_EXTRA && buffer.cbBuffer > 0)
                next = m_received.size() - buffer.cbBuffer;
        }
        start = next;
        if (status == SEC_I_CONTEXT_EXPIRED || (status == SEC_E_OK && alert && m_plain.size() == plainBefore)) {
            m_peerClosed = true;
            start = m_received.size();
            break;
        }
        if (status == SEC_I_RENEGOTIATE) {
            // Messages after the handshake (TLS 1.3 tickets, a new key):
            // the handshake call takes them, with what follows.
            handshakeAgain = true;
            break;
        }
    }
    m_received.erase(m_received.begin(), m_received.begin() + static_cast<std::ptrdiff_t>(start));
    return result;
}

NetError CTlsStream::ReadSome(char* buffer, size_t size, size_t& received, const CNetworkWait& wait)
{
    received = 0;
    if (!m_ready && !m_peerClosed)
        return NetError::connectionLost;
    for (;;) {
        if (m_plainRead < m_plain.size()) {
            received = std::min(size, m_plain.size() - m_plainRead);
            std::memcpy(buffer, m_plain.data() + m_plainRead, received);
            m_plainRead += received;
            if (m_plainRead == m_plain.size()) {
                m_plain.clear();
                m_plainRead = 0;
            }
            return NetError::none;
        }
        if (m_peerClosed) {
            // The peer's close_notify is answered with ours.
            if (!m_closeNotifySent)
                SendCloseNotify(wait);
            return NetError::none;
        }
        bool needMore = m_received.empty();
        if (!needMore) {
            bool handshakeAgain = false;
            if (const NetError error = DecryptReceived(needMore, handshakeAgain); error != NetError::none)
                return error;
            if (handshakeAgain) {
                if (const NetError error = Handshake(wait, false); error != NetError::none)
                    return error;
                continue;
            }
        }
        if (needMore) {
            bool ended = false;
            if (const NetError error = ReceiveMore(wait, ended); error != NetError::none)
                return error;
            // The stream ended without close_notify: what the server's
            // final reply says decides whether that was all.
            if (ended)
                return NetError::none;
        }
    }
}

NetError CTlsStream::WriteSome(const char* data, size_t size, size_t& sent, const CNetworkWait& wait)
{
    sent = 0;
    if (!m_ready)
        return NetError::connectionLost;
    // Up to a batch of plain bytes as whole records, sent in one go.
    const size_t plain = std::min(size, kWriteBatch);
    const size_t overhead = m_sizes.cbHeader + m_sizes.cbTrailer;
    CUninitialisedBytes& records = m_records;
    records.clear();
    records.reserve(plain + (plain / m_sizes.cbMaximumMessage + 1) * overhead);
    for (size_t done = 0; done < plain;) {
        const size_t part = std::min<size_t>(plain - done, m_sizes.cbMaximumMessage);
        const size_t at = records.size();
        records.resize(at + m_sizes.cbHeader + part + m_sizes.cbTrailer);
        char* record = records.data() + at;
        std::memcpy(record + m_sizes.cbHeader, data + done, part);
        SecBuffer buffers[4] = {
            {m_sizes.cbHeader, SECBUFFER_STREAM_HEADER, record},
            {static_cast<unsigned long>(part), SECBUFFER_DATA, record + m_sizes.cbHeader},
            {m_sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record + m_sizes.cbHeader + part},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc description = {SECBUFFER_VERSION, 4, buffers};
        if (EncryptMessage(&m_context, 0, &description, 0) != SEC_E_OK)
            return NetError::secureChannelFailed;
        // The trailer may be shorter than its room.
        records.resize(at + buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        done += part;
    }
    // Records go whole or the stream is broken: half a record cannot be
    // taken back.
    if (const NetError error = m_inner->WriteAll(records.data(), records.size(), wait); error != NetError::none) {
        m_ready = false;
        return error;
    }
    sent = plain;
    return NetError::none;
}

NetError CTlsStream::SendCloseNotify(const CNetworkWait& wait)
{
    m_closeNotifySent = true;
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer shutdown = {sizeof type, SECBUFFER_TOKEN, &type};
    SecBufferDesc shutdownDescription = {SECBUFFER_VERSION, 1, &shutdown};
    if (ApplyControlToken(&m_context, &shutdownDescription) != SEC_E_OK)
        return NetError::secureChannelFailed;
    ContextBuffer token;
    SecBufferDesc outputs = {SECBUFFER_VERSION, 1, &token.buffer};
    ULONG attributes = 0;
    TimeStamp expiry;
    const SECURITY_STATUS status = InitializeSecurityContextW(m_credentials.Handle(), &m_context, m_targetName.data(),
                                                              kContextFlags, 0, 0, nullptr, 0, nullptr, &outputs,
                                                              &attributes, &expiry);
    if (status != SEC_E_OK && status != SEC_I_CONTEXT_EXPIRED)
        return NetError::secureChannelFailed;
    return SendToken(token.buffer, wait);
}

bool CTlsStream::HasInput()
{
    return m_plainRead < m_plain.size() || !m_received.empty() || m_peerClosed || (m_inner && m_inner->HasInput());
}

NetError CTlsStream::FinishSending(const CNetworkWait& wait)
{
    if (m_hasContext && !m_closeNotifySent) {
        if (const NetError error = SendCloseNotify(wait); error != NetError::none)
            return error;
    }
    return m_inner ? m_inner->FinishSending(wait) : NetError::none;
}
