// The byte streams of the bare loops: a blocking socket, and Schannel's TLS over one.
#include "bench/BareStream.h"

#include "bench/TransferCase.h"

#include <algorithm>
#include <cstring>

namespace {

[[noreturn]] void Fail(const std::string& what, long code)
{
    throw BenchError(what + " failed (error " + std::to_string(code) + ")");
}

constexpr DWORD kContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY
    | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;

constexpr char kAlertRecord = 21;

// Room for what one receive brings: many records at once.
constexpr size_t kReceiveRoom = 256 * 1024;

}  // namespace

BareSocket::BareSocket()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        throw BenchError("WSAStartup failed");
    m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_socket == INVALID_SOCKET)
        Fail("socket", WSAGetLastError());
}

BareSocket::~BareSocket()
{
    closesocket(m_socket);
    WSACleanup();
}

void BareSocket::Connect(const std::string& host, u_short port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr(host.c_str());
    if (connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        Fail("connect to " + host, WSAGetLastError());
}

sockaddr_in BareSocket::Listen(sockaddr_in address)
{
    address.sin_port = 0;
    int size = sizeof address;
    if (bind(m_socket, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(m_socket, 1) != 0
        || getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        Fail("listen", WSAGetLastError());
    return address;
}

void BareSocket::AcceptOne()
{
    const SOCKET accepted = accept(m_socket, nullptr, nullptr);
    if (accepted == INVALID_SOCKET)
        Fail("accept", WSAGetLastError());
    closesocket(m_socket);
    m_socket = accepted;
}

void BareSocket::SendAll(const char* data, size_t size)
{
    while (size > 0) {
        const int sent = send(m_socket, data, static_cast<int>(size), 0);
        if (sent <= 0)
            Fail("send", WSAGetLastError());
        data += sent;
        size -= static_cast<size_t>(sent);
    }
}

size_t BareSocket::Receive(char* buffer, size_t size)
{
    const int received = recv(m_socket, buffer, static_cast<int>(size), 0);
    if (received < 0)
        Fail("recv", WSAGetLastError());
    return static_cast<size_t>(received);
}

void BareSocket::FinishSending()
{
    shutdown(m_socket, SD_SEND);
}

BareTls::BareTls(BareSocket& socket, const std::string& host) : m_socket(socket), m_in(kReceiveRoom)
{
    SCHANNEL_CRED settings = {};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    wchar_t package[] = UNISP_NAME_W;
    const SECURITY_STATUS status = AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr,
                                                             &settings, nullptr, nullptr, &m_credentials, nullptr);
    if (status != SEC_E_OK)
        Fail("AcquireCredentialsHandle", status);
    try {
        Handshake(std::wstring(host.begin(), host.end()));
    } catch (...) {
        if (m_bContext)
            DeleteSecurityContext(&m_context);
        FreeCredentialsHandle(&m_credentials);
        throw;
    }
}

BareTls::~BareTls()
{
    if (m_bContext)
        DeleteSecurityContext(&m_context);
    FreeCredentialsHandle(&m_credentials);
}

void BareTls::SendToken(SecBuffer& token)
{
    if (token.pvBuffer && token.cbBuffer > 0)
        m_socket.SendAll(static_cast<const char*>(token.pvBuffer), token.cbBuffer);
    if (token.pvBuffer)
        FreeContextBuffer(token.pvBuffer);
    token.pvBuffer = nullptr;
    token.cbBuffer = 0;
}

void BareTls::Handshake(const std::wstring& host)
{
    std::wstring target = host;
    SecBuffer outToken = {0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc outDesc = {SECBUFFER_VERSION, 1, &outToken};
    ULONG attributes = 0;
    SECURITY_STATUS status = InitializeSecurityContextW(&m_credentials, nullptr, target.data(), kContextFlags, 0, 0,
                                                        nullptr, 0, &m_context, &outDesc, &attributes, nullptr);
    if (status != SEC_I_CONTINUE_NEEDED)
        Fail("InitializeSecurityContext", status);
    m_bContext = true;
    SendToken(outToken);
    bool needInput = true;
    for (;;) {
        if (needInput && !ReceiveMore())
            throw BenchError("the server ended the TLS handshake");
        SecBuffer in[2] = {{static_cast<ULONG>(m_inEnd - m_inBegin), SECBUFFER_TOKEN, m_in.data() + m_inBegin},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDesc = {SECBUFFER_VERSION, 2, in};
        outToken = {0, SECBUFFER_TOKEN, nullptr};
        status = InitializeSecurityContextW(&m_credentials, &m_context, target.data(), kContextFlags, 0, 0,
                                            &inDesc, 0, nullptr, &outDesc, &attributes, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            needInput = true;
            continue;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED)
            Fail("InitializeSecurityContext", status);
        SendToken(outToken);
        m_inBegin = in[1].BufferType == SECBUFFER_EXTRA ? m_inEnd - in[1].cbBuffer : m_inEnd;
        needInput = m_inBegin == m_inEnd;
        if (status == SEC_E_OK)
            break;
    }
    status = QueryContextAttributesW(&m_context, SECPKG_ATTR_STREAM_SIZES, &m_sizes);
    if (status != SEC_E_OK)
        Fail("QueryContextAttributes", status);
}

bool BareTls::ReceiveMore()
{
    // Whatever is held moves to the front, so the room behind it is whole.
    if (m_inBegin > 0) {
        std::memmove(m_in.data(), m_in.data() + m_inBegin, m_inEnd - m_inBegin);
        m_inEnd -= m_inBegin;
        m_inBegin = 0;
    }
    if (m_inEnd == m_in.size())
        m_in.resize(m_in.size() * 2);
    const size_t received = m_socket.Receive(m_in.data() + m_inEnd, m_in.size() - m_inEnd);
    m_inEnd += received;
    return received > 0;
}

size_t BareTls::Receive(char* buffer, size_t size)
{
    while (m_plainSize == 0 && !m_bEnded) {
        if (m_inBegin == m_inEnd && !ReceiveMore()) {
            m_bEnded = true;
            break;
        }
        SecBuffer buffers[4] = {{static_cast<ULONG>(m_inEnd - m_inBegin), SECBUFFER_DATA, m_in.data() + m_inBegin},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
        const bool alert = m_in[m_inBegin] == kAlertRecord;
        const SECURITY_STATUS status = DecryptMessage(&m_context, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            if (!ReceiveMore())
                throw BenchError("the server ended the data connection inside a TLS record");
            continue;
        }
        if (status == SEC_I_CONTEXT_EXPIRED) {
            m_bEnded = true;
            break;
        }
        if (status != SEC_E_OK)
            Fail("DecryptMessage", status);
        size_t next = m_inEnd;
        for (const SecBuffer& part : buffers) {
            if (part.BufferType == SECBUFFER_DATA) {
                m_plain = static_cast<const char*>(part.pvBuffer);
                m_plainSize = part.cbBuffer;
            } else if (part.BufferType == SECBUFFER_EXTRA) {
                next = m_inEnd - part.cbBuffer;
            }
        }
        m_inBegin = next;
        // Wine decrypts the peer's close_notify into nothing instead of
        // reporting the context expired.
        if (alert && m_plainSize == 0)
            m_bEnded = true;
    }
    const size_t count = std::min(size, m_plainSize);
    std::memcpy(buffer, m_plain, count);
    m_plain += count;
    m_plainSize -= count;
    return count;
}

void BareTls::SendAll(const char* data, size_t size)
{
    // All of it goes out as records in one buffer and one send.
    const size_t records = (size + m_sizes.cbMaximumMessage - 1) / m_sizes.cbMaximumMessage;
    m_out.resize(size + records * (m_sizes.cbHeader + m_sizes.cbTrailer));
    size_t used = 0;
    while (size > 0) {
        const size_t piece = std::min<size_t>(size, m_sizes.cbMaximumMessage);
        char* record = m_out.data() + used;
        std::memcpy(record + m_sizes.cbHeader, data, piece);
        SecBuffer buffers[4] = {{m_sizes.cbHeader, SECBUFFER_STREAM_HEADER, record},
                                {static_cast<ULONG>(piece), SECBUFFER_DATA, record + m_sizes.cbHeader},
                                {m_sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record + m_sizes.cbHeader + piece},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = EncryptMessage(&m_context, 0, &desc, 0);
        if (status != SEC_E_OK)
            Fail("EncryptMessage", status);
        used += buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
        data += piece;
        size -= piece;
    }
    m_socket.SendAll(m_out.data(), used);
}

void BareTls::FinishSending()
{
    DWORD shutdownToken = SCHANNEL_SHUTDOWN;
    SecBuffer control = {sizeof shutdownToken, SECBUFFER_TOKEN, &shutdownToken};
    SecBufferDesc controlDesc = {SECBUFFER_VERSION, 1, &control};
    if (ApplyControlToken(&m_context, &controlDesc) == SEC_E_OK) {
        SecBuffer alert = {0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc alertDesc = {SECBUFFER_VERSION, 1, &alert};
        ULONG attributes = 0;
        InitializeSecurityContextW(&m_credentials, &m_context, nullptr, kContextFlags, 0, 0, nullptr, 0, nullptr,
                                   &alertDesc, &attributes, nullptr);
        SendToken(alert);
    }
    m_socket.FinishSending();
}
