// Asks a store, from a thread of its own, whether a directory holds subdirectories: the tree's buttons in the background.
#pragma once
#include "ftp/FtpOptions.h"

#include <memory>
#include <string>

// Made on the control's thread from the store it shows, then used by one
// other thread only; Stop may be called from any thread. It connects when
// first asked, on a connection of its own, so the store's is never waited on.
class CWySubdirectoryProbe {
public:
    enum class Answer {
        yes,
        no,         // none, or the directory cannot be listed
        cannotAsk,  // no connection of its own (a server that takes one session per address)
    };

    virtual Answer HasSubdirectory(const std::string& path) = 0;
    // Closes the connection after a while without questions; the next
    // question opens it again.
    virtual void Rest() {}
    // Ends the wait under way within a slice of it (20 ms); every later
    // question is answered cannotAsk.
    virtual void Stop() {}
    virtual ~CWySubdirectoryProbe() = default;
};

// A server, logged in as the store is, with the store's settings. A secure
// session must meet the certificate or host key the store's session
// accepted (certificatePin) and asks no judge: nothing is asked of the host
// from another thread.
std::unique_ptr<CWySubdirectoryProbe> MakeServerSubdirectoryProbe(const std::string& server, const std::string& user,
                                                                const std::string& password,
                                                                const CFtpOptions& options);
// A directory of the local disk; root goes in front of every path ("P:").
std::unique_ptr<CWySubdirectoryProbe> MakeLocalSubdirectoryProbe(const std::string& root);
