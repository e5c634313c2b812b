// Winsock for as long as an object lives.
#include <winsock2.h>

#include "net/WinsockUse.h"

CWinsockUse::CWinsockUse()
{
    WSADATA data;
    m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

CWinsockUse::~CWinsockUse()
{
    if (m_started)
        WSACleanup();
}
