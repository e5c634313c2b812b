// The Internet session of the FTP store: the framework's session with its defaults.
#include "filesystem/WyInternetSession.h"

CWyInternetSession::CWyInternetSession() : CInternetSession(nullptr, 1, 0, nullptr, nullptr, 0) {}

CWyInternetSession::~CWyInternetSession() = default;
