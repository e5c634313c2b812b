// The FTP server fixture: separate addresses, fresh roots, stopped when released.
#include <winsock2.h>

#include "tests/fixture/FtpServer.h"
#include "tests/fixture/TrustTestAuthority.h"

#include <wincrypt.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

bool CanLogIn(const std::string& host)
{
    HINTERNET session = InternetOpenA("WyFTP tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(session, host.c_str(), INTERNET_DEFAULT_FTP_PORT, "anonymous",
                                            "guest@example.com", INTERNET_SERVICE_FTP, 0, 0);
    const bool ok = connection != nullptr;
    if (connection)
        InternetCloseHandle(connection);
    InternetCloseHandle(session);
    return ok;
}

TEST(FtpServerFixture, ServersGetTheirOwnAddressAndRoot)
{
    FtpServer first;
    FtpServer second;
    EXPECT_NE(first.Host(), second.Host());
    EXPECT_NE(first.Root(), second.Root());
    EXPECT_EQ(0u, first.Host().rfind("127.0.0.", 0)) << first.Host();
    first.WriteFile("only-in-first.txt", "1");
    EXPECT_TRUE(first.Exists("only-in-first.txt"));
    EXPECT_FALSE(second.Exists("only-in-first.txt"));
    EXPECT_EQ("1", first.ReadFile("only-in-first.txt"));
}

TEST(FtpServerFixture, ReleasedServerIsStoppedAndItsRootRemoved)
{
    std::string host;
    std::string root;
    {
        FtpServer server;
        host = server.Host();
        root = server.Root();
        server.WriteFile("a.txt", "a");
        ASSERT_TRUE(CanLogIn(host));
    }
    // The daemon stops the server as soon as the control connection closes;
    // give it a moment to finish.
    for (int i = 0; i < 100 && GetFileAttributesA(root.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(20);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(root.c_str()));
    EXPECT_FALSE(CanLogIn(host));
}

TEST(FtpServerFixture, UnknownKindIsRefusedWithAMessage)
{
    try {
        FtpServer server("no-such-kind");
        FAIL() << "started a server of an unknown kind";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(nullptr, std::strstr(error.what(), "usage")) << error.what();
    }
}

}  // namespace

namespace {

TEST(FtpServerFixture, AServerCanListenOnAFreePortOfTheFirstLoopbackAddress)
{
    FtpServer server("normal", FtpServer::kAnyPort);
    EXPECT_EQ("127.0.0.1", server.Host());
    EXPECT_NE(21, server.Port());
    HINTERNET session = InternetOpenA("WyFTP tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(session, server.Host().c_str(), static_cast<INTERNET_PORT>(server.Port()),
                                            "anonymous", "guest@example.com", INTERNET_SERVICE_FTP, 0, 0);
    EXPECT_NE(nullptr, connection);
    if (connection)
        InternetCloseHandle(connection);
    InternetCloseHandle(session);
}

}  // namespace

namespace {

// The whole greeting of the server at host:port (every line up to "220 "),
// or what came before the connection ended or a read waited 10 s.
std::string Greeting(const std::string& host, int port)
{
    SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = inet_addr(host.c_str());
    DWORD timeout = 10000;
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    std::string text;
    if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        char ch;
        std::string line;
        while (recv(socket, &ch, 1, 0) == 1) {
            text += ch;
            line += ch;
            if (ch != '\n')
                continue;
            if (line.compare(0, 4, "220 ") == 0)
                break;
            line.clear();
        }
    }
    closesocket(socket);
    return text;
}

std::string LoggedInDirectory(const FtpServer& server, const char* user, const char* password)
{
    HINTERNET session = InternetOpenA("WyFTP tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(session, server.Host().c_str(), static_cast<INTERNET_PORT>(server.Port()),
                                            user, password, INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0);
    std::string directory = "(no login)";
    if (connection) {
        char buffer[MAX_PATH] = "(no directory)";
        DWORD length = sizeof buffer;
        FtpGetCurrentDirectoryA(connection, buffer, &length);
        directory = buffer;
        InternetCloseHandle(connection);
    }
    InternetCloseHandle(session);
    return directory;
}

TEST(FtpServerFixture, OtherServersGreetLogInAtTheRootAndServeTheirTree)
{
    struct Kind {
        const char* name;
        const char* greeting;   // part of the server's greeting
        const char* rootEntry;  // a name the daemon put in the root
    };
    const Kind kinds[] = {
        {"proftpd", "ProFTPD", "a b"},
        {"proftpd-nomlsd", "ProFTPD", "a b"},
        {"pure-ftpd", "Pure-FTPd", "a b"},
        {"inetutils", "GNU inetutils", "a b"},
        {"replay", "WyFTP replay", "dos"},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        FtpServer server(kind.name, FtpServer::kAnyPort);
        EXPECT_EQ("127.0.0.1", server.Host());
        const std::string greeting = Greeting(server.Host(), server.Port());
        EXPECT_EQ(0u, greeting.find("220")) << greeting;
        EXPECT_NE(std::string::npos, greeting.find(kind.greeting)) << greeting;
        EXPECT_EQ("/", LoggedInDirectory(server, "anonymous", "guest@example.com"));
        EXPECT_EQ("/", LoggedInDirectory(server, FtpServer::kUser, FtpServer::kPassword));
        EXPECT_TRUE(server.Exists(kind.rootEntry)) << server.Root() << "\\" << kind.rootEntry;
    }
}

}  // namespace

namespace {

bool Accepts(const std::string& host, int port)
{
    SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = inet_addr(host.c_str());
    const bool ok = connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    closesocket(socket);
    return ok;
}

TEST(FtpServerFixture, TlsKindsStartOnAFreePortAndGreet)
{
    struct Kind {
        const char* name;
        const char* certificate;  // nullptr: the daemon's default
        bool implicit;            // the greeting comes inside TLS: only the connection is checked
    };
    const Kind kinds[] = {
        {"tls", nullptr, false},
        {"tls", "selfsigned", false},
        {"tls-stall-handshake", nullptr, false},
        {"tls-drop-handshake", nullptr, false},
        {"tls-no-close-notify", nullptr, false},
        {"tls-recording", "expired", false},
        {"vsftpd-tls", nullptr, false},
        {"vsftpd-tls", "otherhost", false},
        {"vsftpd-tls-implicit", nullptr, true},
        {"vsftpd-tls-reuse", nullptr, false},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(std::string(kind.name) + " cert=" + (kind.certificate ? kind.certificate : "(default)"));
        FtpServer server(kind.name, FtpServer::kPort21, kind.certificate);
        EXPECT_EQ("127.0.0.1", server.Host());
        if (kind.implicit) {
            EXPECT_TRUE(Accepts(server.Host(), server.Port()));
            continue;
        }
        const std::string greeting = Greeting(server.Host(), server.Port());
        EXPECT_EQ(0u, greeting.find("220")) << greeting;
    }
}

TEST(FtpServerFixture, ACertificateIsOnlyForTheTlsKinds)
{
    try {
        FtpServer server("normal", FtpServer::kAnyPort, "good");
        FAIL() << "started a server without TLS with a certificate";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(nullptr, std::strstr(error.what(), "usage")) << error.what();
    }
}

std::string HexUpper(const BYTE* bytes, DWORD size)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

// The certificate in a DER file, or nullptr when it cannot be read or parsed.
PCCERT_CONTEXT LoadCertificate(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    std::vector<BYTE> der(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, der.data(), static_cast<DWORD>(der.size()), &read, nullptr);
    CloseHandle(file);
    return CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), read);
}

TEST(FtpServerFixture, CertificatesAreReadableDerWithTheirFingerprints)
{
    for (const char* name : {"ca", "good", "selfsigned", "expired", "otherhost"}) {
        SCOPED_TRACE(name);
        const FtpServer::CertificateInfo info = FtpServer::Certificate(name);
        EXPECT_EQ(64u, info.sha256.size()) << info.sha256;
        EXPECT_EQ(std::string::npos, info.sha256.find_first_not_of("0123456789ABCDEF")) << info.sha256;
        const PCCERT_CONTEXT certificate = LoadCertificate(info.derPath);
        ASSERT_NE(nullptr, certificate) << info.derPath;
        // The fingerprint is the SHA-256 of the DER, as Windows computes it.
        BYTE hash[32] = {};
        DWORD size = sizeof hash;
        EXPECT_TRUE(CryptHashCertificate(0, CALG_SHA_256, 0, certificate->pbCertEncoded, certificate->cbCertEncoded,
                                         hash, &size))
            << GetLastError();
        EXPECT_EQ(info.sha256, HexUpper(hash, size));
        CertFreeCertificateContext(certificate);
    }
    try {
        FtpServer::Certificate("no-such-certificate");
        FAIL() << "got a certificate of an unknown name";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(nullptr, std::strstr(error.what(), "usage")) << error.what();
    }
}

// The trust errors (CERT_TRUST_*) of the chain Windows builds for a
// certificate from the default chain engine.
DWORD ChainErrors(PCCERT_CONTEXT certificate)
{
    CERT_CHAIN_PARA para = {};
    para.cbSize = sizeof para;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, nullptr, &para, 0, nullptr, &chain))
        return 0xFFFFFFFF;
    const DWORD errors = chain->TrustStatus.dwErrorStatus;
    CertFreeCertificateChain(chain);
    return errors;
}

TEST(FtpServerFixture, TheTrustedTestAuthorityMakesItsServerCertificatesTrusted)
{
    const std::string fingerprint = TrustTestAuthority();
    EXPECT_EQ(FtpServer::Certificate("ca").sha256, fingerprint);
    // Trusting twice is harmless.
    EXPECT_EQ(fingerprint, TrustTestAuthority());

    struct Case {
        const char* name;
        DWORD errors;  // what the chain must report, CERT_TRUST_NO_ERROR for none
    };
    const Case cases[] = {
        {"good", CERT_TRUST_NO_ERROR},
        {"otherhost", CERT_TRUST_NO_ERROR},  // the chain is sound; the name is the TLS client's to check
        {"expired", CERT_TRUST_IS_NOT_TIME_VALID},
        {"selfsigned", CERT_TRUST_IS_UNTRUSTED_ROOT},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const PCCERT_CONTEXT certificate = LoadCertificate(FtpServer::Certificate(test.name).derPath);
        ASSERT_NE(nullptr, certificate);
        const DWORD errors = ChainErrors(certificate);
        if (test.errors == CERT_TRUST_NO_ERROR)
            EXPECT_EQ(0u, errors) << std::hex << errors;
        else
            EXPECT_NE(0u, errors & test.errors) << std::hex << errors;
        CertFreeCertificateContext(certificate);
    }
}

}  // namespace
