// What a broken test set-up would otherwise hide: the system code page and the trusted test authority.
#include "tests/fixture/FtpServer.h"
#include "tests/fixture/TrustTestAuthority.h"

#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Names reach the platform's "A" functions as Shift-JIS only where the
// system code page is 932; elsewhere the Japanese-name tests would pass
// on mangled names.
TEST(Environment, SystemCodePageIsShiftJis)
{
    EXPECT_EQ(932u, GetACP());
}

// The chain engine's verdict on one of the fixture's certificates.
DWORD ChainErrors(const char* name)
{
    const HANDLE file = CreateFileA(FtpServer::Certificate(name).derPath.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    std::vector<BYTE> der(file == INVALID_HANDLE_VALUE ? 0 : GetFileSize(file, nullptr));
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, der.data(), static_cast<DWORD>(der.size()), &read, nullptr);
        CloseHandle(file);
    }
    const PCCERT_CONTEXT certificate = CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), read);
    if (!certificate)
        return 0xFFFFFFFF;
    CERT_CHAIN_PARA parameters = {};
    parameters.cbSize = sizeof parameters;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    DWORD errors = 0xFFFFFFFF;
    if (CertGetCertificateChain(nullptr, certificate, nullptr, nullptr, &parameters, 0, nullptr, &chain)) {
        errors = chain->TrustStatus.dwErrorStatus;
        CertFreeCertificateChain(chain);
    }
    CertFreeCertificateContext(certificate);
    return errors;
}

// The TLS tests rely on the test authority being a trusted root: without
// it, "good" would be refused as an unknown authority, and the refusals of
// the other certificates would prove nothing.
TEST(Environment, TheTrustedTestAuthorityMakesItsServerCertificatesTrusted)
{
    EXPECT_EQ(FtpServer::Certificate("ca").sha256, TrustTestAuthority());
    const struct {
        const char* name;
        DWORD errors;  // what the chain must report; CERT_TRUST_NO_ERROR for nothing
    } cases[] = {
        {"good", CERT_TRUST_NO_ERROR},
        {"expired", CERT_TRUST_IS_NOT_TIME_VALID},
        {"selfsigned", CERT_TRUST_IS_UNTRUSTED_ROOT},
        {"unknownca", CERT_TRUST_IS_PARTIAL_CHAIN},
    };
    for (const auto& test : cases) {
        const DWORD errors = ChainErrors(test.name);
        if (test.errors == CERT_TRUST_NO_ERROR)
            EXPECT_EQ(0u, errors) << test.name << std::hex << " " << errors;
        else
            EXPECT_NE(0u, errors & test.errors) << test.name << std::hex << " " << errors;
    }
}

}  // namespace
