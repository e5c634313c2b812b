// How a session talks to its server: time limits, data connection mode, the encoding of names.
#pragma once
#include <windows.h>

struct CFtpOptions {
    // The longest wait for a connect or a reply, and the window of the
    // slowest transfer allowed (see CTransferPace).
    DWORD timeoutMilliseconds = 0;
    bool passive = false;
    // How names travel: Shift-JIS as they are, UTF-8 converted, or UTF-8
    // when the server takes "OPTS UTF8 ON".
    enum Encoding { shiftJis = 0, utf8 = 1, automatic = 2 } encoding = shiftJis;
};
