// The Internet session of the FTP store: the framework's session with its defaults.
#pragma once
#include "framework/InternetSession.h"

// No agent name (the application's name is used), context 1, the
// platform's pre-configured access, no proxy, flags 0, no status callback.
// Throws CInternetException when the session cannot be opened.
class CWyInternetSession : public CInternetSession {
public:
    CWyInternetSession();
    ~CWyInternetSession() override;
};
