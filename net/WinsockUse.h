// Winsock for as long as an object lives.
#pragma once

// WSAStartup / WSACleanup: each user of sockets holds one.
class CWinsockUse {
public:
    CWinsockUse();
    ~CWinsockUse();
    CWinsockUse(const CWinsockUse&) = delete;
    CWinsockUse& operator=(const CWinsockUse&) = delete;

private:
    bool m_started = false;
};
