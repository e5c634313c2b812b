// The FTP side of the bare loops: a control connection and one data connection, in clear or over TLS.
#pragma once
#include "bench/BareStream.h"
#include "bench/TransferCase.h"

#include <memory>
#include <string>

// The control connection, logged in with TYPE I: one command, its first
// reply. Over explicit TLS (AUTH TLS, PBSZ 0, PROT P) when asked.
class BareControl {
public:
    BareControl(const BenchSetup& setup, bool secure);
    void Send(const std::string& line);
    // Sends line and returns the first reply; kind (1 to 5), when given, must match.
    std::string Command(const std::string& line, char kind = 0);
    std::string Expect(char kind);
    // The control connection's own address, where an active-mode data
    // connection is awaited.
    sockaddr_in LocalAddress() const;

private:
    // One whole reply; "123-" lines run to "123 ".
    std::string Reply();
    std::string Line();

    BareSocket m_socket;
    std::unique_ptr<BareTls> m_tls;
    BareStream* m_stream = &m_socket;
    std::string m_pending;
};

// The data connection of one transfer: PASV (the loop connects) or PORT
// (the server connects to the loop), protected like the control connection.
class BareData {
public:
    BareData(BareControl& control, const BenchSetup& setup, bool passive, bool secure);
    // Sends the transfer command and reads its preliminary reply; the
    // connection is then ready (accepted in active mode, its handshake done
    // over TLS: vsftpd shakes hands before it answers).
    BareStream& Start(BareControl& control, const std::string& command);

private:
    BareSocket m_socket;
    std::unique_ptr<BareTls> m_tls;
    std::string m_host;
    bool m_bPassive;
    bool m_bSecure;
};
