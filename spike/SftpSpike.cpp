#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <libssh2.h>
#include <libssh2_sftp.h>
#include <cstdio>
#include <cstring>
#include <vector>
#include <string>

static double Now() { LARGE_INTEGER f, c; QueryPerformanceFrequency(&f); QueryPerformanceCounter(&c); return double(c.QuadPart) / f.QuadPart; }

int main(int argc, char** argv)
{
    const int port = atoi(argv[1]);
    const char* kexPref = argc > 2 && argv[2][0] ? argv[2] : nullptr;
    const char* file = argc > 3 ? argv[3] : nullptr;
    WSADATA wsa; WSAStartup(MAKEWORD(2, 2), &wsa);
    printf("libssh2 %s init %d\n", libssh2_version(0), libssh2_init(0));
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{}; a.sin_family = AF_INET; a.sin_port = htons(port); a.sin_addr.s_addr = htonl(0x7f000001);
    if (connect(s, (sockaddr*)&a, sizeof a)) { printf("connect failed\n"); return 1; }
    LIBSSH2_SESSION* session = libssh2_session_init();
    if (getenv("SSHTRACE")) libssh2_trace(session, ~0);
    if (const char* c = getenv("SSHCIPHER")) { libssh2_session_method_pref(session, LIBSSH2_METHOD_CRYPT_CS, c); libssh2_session_method_pref(session, LIBSSH2_METHOD_CRYPT_SC, c); }
    if (kexPref) printf("kex pref %d\n", libssh2_session_method_pref(session, LIBSSH2_METHOD_KEX, kexPref));
    double t0 = Now();
    int rc = libssh2_session_handshake(session, s);
    char* msg = nullptr; libssh2_session_last_error(session, &msg, nullptr, 0);
    printf("handshake %d (%s) %.3f s\n", rc, msg ? msg : "", Now() - t0);
    if (rc) return 1;
    printf("kex %s hostkey %s crypt %s mac %s\n", libssh2_session_methods(session, LIBSSH2_METHOD_KEX),
           libssh2_session_methods(session, LIBSSH2_METHOD_HOSTKEY), libssh2_session_methods(session, LIBSSH2_METHOD_CRYPT_CS),
           libssh2_session_methods(session, LIBSSH2_METHOD_MAC_CS));
    const unsigned char* h = (const unsigned char*)libssh2_hostkey_hash(session, LIBSSH2_HOSTKEY_HASH_SHA256);
    printf("fp "); for (int i = 0; h && i < 32; ++i) printf("%02x", h[i]); printf("\n");
    printf("auth list %s\n", libssh2_userauth_list(session, getenv("SSHUSER"), (unsigned)strlen(getenv("SSHUSER"))));
    if (const char* key = getenv("SSHKEY"))
        rc = libssh2_userauth_publickey_fromfile(session, getenv("SSHUSER"), nullptr, key, getenv("SSHPASS"));
    else
        rc = libssh2_userauth_password(session, getenv("SSHUSER"), getenv("SSHPASSWORD"));
    libssh2_session_last_error(session, &msg, nullptr, 0);
    if (rc) printf("auth error %s\n", msg);
    printf("auth %d\n", rc);
    if (rc) return 1;
    LIBSSH2_SFTP* sftp = libssh2_sftp_init(session);
    LIBSSH2_SFTP_HANDLE* dir = libssh2_sftp_opendir(sftp, ".");
    char name[512]; LIBSSH2_SFTP_ATTRIBUTES attrs;
    while (libssh2_sftp_readdir(dir, name, sizeof name, &attrs) > 0) printf("  %s %llu\n", name, (unsigned long long)attrs.filesize);
    libssh2_sftp_closedir(dir);
    if (file) {
        LIBSSH2_SFTP_HANDLE* f = libssh2_sftp_open(sftp, file, LIBSSH2_FXF_READ, 0);
        std::vector<char> buf(getenv("SSHBUF") ? atoi(getenv("SSHBUF")) : 256 * 1024); long long total = 0; t0 = Now();
        for (;;) { ssize_t n = libssh2_sftp_read(f, buf.data(), buf.size()); if (n <= 0) break; total += n; }
        double dt = Now() - t0;
        printf("download %lld bytes %.2f s %.1f MiB/s\n", total, dt, total / dt / 1048576);
        libssh2_sftp_close(f);
        f = libssh2_sftp_open(sftp, "up.bin", LIBSSH2_FXF_WRITE | LIBSSH2_FXF_CREAT | LIBSSH2_FXF_TRUNC, 0644);
        t0 = Now(); long long sent = 0;
        while (sent < total) { ssize_t n = libssh2_sftp_write(f, buf.data(), buf.size()); if (n <= 0) { printf("write %zd\n", n); break; } sent += n; }
        libssh2_sftp_close(f);
        dt = Now() - t0;
        printf("upload %lld bytes %.2f s %.1f MiB/s\n", sent, dt, sent / dt / 1048576);
    }
    libssh2_sftp_shutdown(sftp);
    libssh2_session_disconnect(session, "bye");
    libssh2_session_free(session);
    return 0;
}
