// The certificate a TLS server presented: its fingerprint, names, validity, and what the platform thinks of it.
#include "net/ServerCertificate.h"

#include <bcrypt.h>

#include <cctype>
#include <utility>
#include <vector>

namespace {

constexpr size_t kSha256Bytes = 32;

std::string Hex(const unsigned char* bytes, size_t count)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t index = 0; index < count; ++index) {
        text += kDigits[bytes[index] >> 4];
        text += kDigits[bytes[index] & 15];
    }
    return text;
}

// Closes a CNG algorithm and hash when it goes.
struct Sha256 {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    ~Sha256()
    {
        if (hash)
            BCryptDestroyHash(hash);
        if (algorithm)
            BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

std::string NameText(const CERT_NAME_BLOB& name)
{
    CERT_NAME_BLOB copy = name;
    const DWORD flags = CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG;
    const DWORD length = CertNameToStrA(X509_ASN_ENCODING, &copy, flags, nullptr, 0);
    std::string text(length, '\0');
    if (length > 0)
        CertNameToStrA(X509_ASN_ENCODING, &copy, flags, text.data(), length);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

CertificateProblem ProblemOf(DWORD status)
{
    switch (status) {
    case 0:
        return CertificateProblem::none;
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_CHAINING):
    case static_cast<DWORD>(TRUST_E_CERT_SIGNATURE):
        return CertificateProblem::unknownAuthority;
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
        return CertificateProblem::nameMismatch;
    case static_cast<DWORD>(CERT_E_EXPIRED):
    case static_cast<DWORD>(CERT_E_VALIDITYPERIODNESTING):
        return CertificateProblem::notInPeriod;
    default:
        return CertificateProblem::otherFailure;
    }
}

// What the chain engine found wrong with a chain, where the SSL policy may
// have passed it: Wine's passes a chain that ends at an unknown authority
// (a partial chain). Revocation is not asked for, so its bits say nothing.
CertificateProblem ChainProblem(DWORD trustErrors)
{
    trustErrors &= ~static_cast<DWORD>(CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION);
    if (trustErrors == CERT_TRUST_NO_ERROR)
        return CertificateProblem::none;
    if (trustErrors
        & (CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_NOT_SIGNATURE_VALID
           | CERT_TRUST_IS_CYCLIC | CERT_TRUST_IS_EXPLICIT_DISTRUST))
        return CertificateProblem::unknownAuthority;
    if (trustErrors & (CERT_TRUST_IS_NOT_TIME_VALID | CERT_TRUST_IS_NOT_TIME_NESTED))
        return CertificateProblem::notInPeriod;
    return CertificateProblem::otherFailure;
}

}  // namespace

CServerCertificate::CServerCertificate(const CServerCertificate& other)
    : m_context(other.m_context ? CertDuplicateCertificateContext(other.m_context) : nullptr),
      m_hostKeyFingerprint(other.m_hostKeyFingerprint),
      m_hostKeyAlgorithm(other.m_hostKeyAlgorithm)
{
}

CServerCertificate& CServerCertificate::operator=(CServerCertificate other)
{
    std::swap(m_context, other.m_context);
    std::swap(m_hostKeyFingerprint, other.m_hostKeyFingerprint);
    std::swap(m_hostKeyAlgorithm, other.m_hostKeyAlgorithm);
    return *this;
}

CServerCertificate::~CServerCertificate()
{
    if (m_context)
        CertFreeCertificateContext(m_context);
}

std::string CServerCertificate::Fingerprint() const
{
    if (!m_context)
        return m_hostKeyFingerprint;
    Sha256 sha;
    unsigned char digest[kSha256Bytes];
    if (BCryptOpenAlgorithmProvider(&sha.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0
        || BCryptCreateHash(sha.algorithm, &sha.hash, nullptr, 0, nullptr, 0, 0) != 0
        || BCryptHashData(sha.hash, m_context->pbCertEncoded, m_context->cbCertEncoded, 0) != 0
        || BCryptFinishHash(sha.hash, digest, sizeof digest, 0) != 0)
        return {};
    return Hex(digest, sizeof digest);
}

std::string CServerCertificate::Subject() const
{
    return m_context ? NameText(m_context->pCertInfo->Subject) : m_hostKeyAlgorithm;
}

std::string CServerCertificate::Issuer() const
{
    return m_context ? NameText(m_context->pCertInfo->Issuer) : std::string();
}

CertificateProblem CServerCertificate::Check(const std::string& host) const
{
    if (!m_context)
        return CertificateProblem::otherFailure;
    CERT_CHAIN_PARA parameters = {};
    parameters.cbSize = sizeof parameters;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, m_context, nullptr, m_context->hCertStore, &parameters, 0, nullptr, &chain))
        return CertificateProblem::otherFailure;
    std::wstring wideHost(host.begin(), host.end());
    HTTPSPolicyCallbackData https = {};
    https.cbStruct = sizeof https;
    https.dwAuthType = AUTHTYPE_SERVER;
    https.pwszServerName = wideHost.data();
    CERT_CHAIN_POLICY_PARA policy = {};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &https;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof status;
    const BOOL checked = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status);
    const DWORD trustErrors = chain->TrustStatus.dwErrorStatus;
    CertFreeCertificateChain(chain);
    if (!checked)
        return CertificateProblem::otherFailure;
    // Both must find nothing wrong; the policy's finding is the more exact.
    const CertificateProblem problem = ProblemOf(status.dwError);
    return problem != CertificateProblem::none ? problem : ChainProblem(trustErrors);
}

namespace {

// OpenSSH prints a key's fingerprint as "SHA256:" and the digest in base64
// without padding; false when what follows is not 32 bytes of base64.
bool HexFromOpenSshFingerprint(const std::string& base64, std::string& hex)
{
    std::string padded = base64;
    padded.append((4 - padded.size() % 4) % 4, '=');
    unsigned char digest[kSha256Bytes + 3];
    DWORD size = sizeof(digest);
    if (padded.size() != 44 || padded.find_first_of(" \t\r\n") != std::string::npos
        || !CryptStringToBinaryA(padded.c_str(), static_cast<DWORD>(padded.size()), CRYPT_STRING_BASE64, digest,
                                 &size, nullptr, nullptr)
        || size != kSha256Bytes)
        return false;
    hex = Hex(digest, size);
    return true;
}

}  // namespace

bool NormalizeFingerprint(const std::string& text, std::string& normalized)
{
    static const std::string kOpenSshPrefix = "SHA256:";
    if (text.compare(0, kOpenSshPrefix.size(), kOpenSshPrefix) == 0)
        return HexFromOpenSshFingerprint(text.substr(kOpenSshPrefix.size()), normalized);
    std::string digits;
    for (const char c : text) {
        if (c == ':' || c == ' ' || c == '\t')
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (!digits.empty() && digits.size() != 2 * kSha256Bytes)
        return false;
    normalized = digits;
    return true;
}
