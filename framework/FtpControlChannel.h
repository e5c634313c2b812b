// The control connection of an FTP session: commands, replies, data connections, deadlines.
#pragma once
#include "framework/Socket.h"

#include <algorithm>
#include <set>
#include <string>

// How a session talks to its server.
struct CFtpOptions {
    // The longest wait for a reply, and the window of the slowest transfer
    // allowed (see CTransferPace).
    DWORD timeoutMilliseconds = 60000;
    bool passive = false;
    // How names travel: Shift-JIS as they are, UTF-8 converted, or UTF-8
    // when the server takes "OPTS UTF8 ON".
    enum Encoding { shiftJis = 0, utf8 = 1, automatic = 2 } encoding = shiftJis;
};

// The slowest a data transfer may be: a period of the timeout without any
// data ends it, and so do fewer than kMinimumBytes in one window of the
// timeout. A slow but honest link easily passes (10 KB/s moves 600 KB a
// minute); a peer that trickles a byte now and then to keep a connection
// open does not.
class CTransferPace {
public:
    static constexpr size_t kMinimumBytes = 1024;
    explicit CTransferPace(DWORD windowMilliseconds);
    // The end of the current wait: the window's end, or earlier the end of
    // the period without data.
    ULONGLONG Deadline() const { return std::min(m_ullWindowStart, m_ullLastData) + m_dwWindow; }
    void Count(size_t bytes);
    // At a deadline: true when the window moved enough data (and a new
    // window begins), false when the transfer is too slow or silent.
    bool NextWindow();

private:
    DWORD m_dwWindow;
    ULONGLONG m_ullWindowStart;
    ULONGLONG m_ullLastData;
    ULONGLONG m_ullBytes = 0;
};

// Every call returns 0 or an Internet library error number; a server's
// refusal is ERROR_INTERNET_EXTENDED_ERROR with its reply as the thread's
// last FTP reply. A call that ran out of time or lost the connection leaves
// the channel broken: every later call fails at once with the same error
// instead of waiting on a connection that is out of step.
class CFtpControlChannel {
public:
    explicit CFtpControlChannel(const CFtpOptions& options);
    CFtpControlChannel(const CFtpControlChannel&) = delete;
    CFtpControlChannel& operator=(const CFtpControlChannel&) = delete;
    ~CFtpControlChannel();

    // Connects, reads the greeting and logs in.
    DWORD Open(const char* host, WORD port, const char* user, const char* password);
    // Sends one command line (without CR LF) and reads its final reply.
    DWORD Command(const std::string& line, int& code);
    // Command, and the reply must be a completion (2xx) or one of expected.
    DWORD Expect(const std::string& line, int expected = 0);
    const std::string& Reply() const { return m_strReply; }

    // A name of the control (Shift-JIS) as the server's wire text, and back.
    // A name that cannot go on the wire as it is (a line break, or a name
    // shown with a replacement because its characters do not exist in
    // Shift-JIS) fails with ERROR_INVALID_NAME: it could name another file.
    DWORD ToWire(const std::string& name, std::string& wire) const;
    std::string FromWire(const std::string& wire);

    // The representation type: 'I' (binary) or 'A' (text).
    DWORD SetType(char type);
    // Opens the data connection of command (RETR, STOR, LIST) in type 'I'
    // or 'A', sends the command and waits for the server to start.
    DWORD OpenData(const std::string& command, char type, CSocket& data);
    // After the data connection has ended: the transfer's final reply.
    DWORD FinishData();
    // Ends a transfer early (the data connection closed first): ABOR, and
    // the replies it brings; a server that does not answer breaks the channel.
    void AbandonData();
    // Ends a transfer that failed with error (the data connection closed
    // first) and returns error: a cancelled one is put back in step, any
    // other failure breaks the channel, since the server may be gone.
    DWORD FailData(DWORD error);

    // Waits of one reply, and of one transfer window.
    CNetworkWait WaitFor(ULONGLONG deadline) const { return {deadline, m_pHook}; }
    DWORD Timeout() const { return m_options.timeoutMilliseconds; }
    void SetWaitHook(CNetworkWaitHook* hook) { m_pHook = hook; }
    // Breaks the channel with error unless it is broken already; returns
    // the channel's error.
    DWORD Break(DWORD error);
    void Close();

private:
    DWORD Login(const char* user, const char* password);
    DWORD ReadReply(int& code);
    DWORD ReadLine(std::string& line, ULONGLONG deadline);
    DWORD SendLine(const std::string& line);
    DWORD PrepareData(CSocket& data, CSocket& listener);
    DWORD AcceptData(CSocket& listener, CSocket& data);

    CWinsockUse m_winsock;
    CFtpOptions m_options;
    CNetworkWaitHook* m_pHook = nullptr;
    CSocket m_socket;
    CSocketAddress m_peer;
    std::string m_strReceived;
    std::string m_strReply;
    DWORD m_dwBroken = 0;
    bool m_bUtf8 = false;
    std::set<std::string> m_lossyNames;  // shown with a replacement mark
    bool m_bDataCompleted = false;
    bool m_bDataOpen = false;  // one transfer or listing at a time
    char m_cType = 0;
};
