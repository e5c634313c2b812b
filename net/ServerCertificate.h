// The certificate a TLS server presented: its fingerprint, names, validity, and what the platform thinks of it.
#pragma once
#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <utility>

// What checking a server's certificate found.
enum class CertificateProblem {
    none,
    unknownAuthority,  // the chain ends at no trusted root, or the pin differs
    nameMismatch,      // issued for another host name
    notInPeriod,       // expired or not yet valid
    otherFailure,      // any other fault of the chain or the channel
};

// Owns one certificate context, or describes an SSH server's host key: its
// fingerprint, and its algorithm as the subject (no issuer, no period).
class CServerCertificate {
public:
    CServerCertificate() = default;
    explicit CServerCertificate(PCCERT_CONTEXT context) : m_context(context) {}
    CServerCertificate(std::string hostKeyFingerprint, std::string hostKeyAlgorithm)
        : m_hostKeyFingerprint(std::move(hostKeyFingerprint)), m_hostKeyAlgorithm(std::move(hostKeyAlgorithm))
    {
    }
    CServerCertificate(const CServerCertificate& other);
    CServerCertificate& operator=(CServerCertificate other);
    ~CServerCertificate();

    explicit operator bool() const { return m_context != nullptr || !m_hostKeyFingerprint.empty(); }

    // SHA-256 of the certificate (DER), 64 upper-case hex digits.
    std::string Fingerprint() const;
    // The subject's and the issuer's names as text ("CN=..., O=...").
    std::string Subject() const;
    std::string Issuer() const;
    FILETIME NotBefore() const { return m_context ? m_context->pCertInfo->NotBefore : FILETIME{}; }
    FILETIME NotAfter() const { return m_context ? m_context->pCertInfo->NotAfter : FILETIME{}; }

    // Builds the chain with the system's trusted roots and applies the
    // platform's SSL policy for host (no revocation check: a control offline
    // must still connect); the chain's own trust status must be clean too.
    CertificateProblem Check(const std::string& host) const;

private:
    PCCERT_CONTEXT m_context = nullptr;
    std::string m_hostKeyFingerprint;
    std::string m_hostKeyAlgorithm;
};

// A pin as a host may write it (hex, with colons, spaces and any case, or
// OpenSSH's "SHA256:" and base64) as 64 upper-case hex digits; false when it
// is no SHA-256 fingerprint.
// An empty pin is valid and stays empty.
bool NormalizeFingerprint(const std::string& text, std::string& normalized);
