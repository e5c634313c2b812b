// A connection as a stream of bytes: what the FTP code reads and writes, whatever carries it.
#pragma once
#include "net/NetError.h"
#include "net/NetworkWait.h"

#include <cstddef>

// A plain TCP socket implements it, and a secure stream over one can: the
// control connection and every data connection are used only through this.
// Every call waits at most as its wait allows.
class CByteStream {
public:
    virtual ~CByteStream() = default;

    // Receives what has arrived, at least one byte; received 0 means the
    // peer has ended the stream.
    virtual NetError ReadSome(char* buffer, size_t size, size_t& received, const CNetworkWait& wait) = 0;
    // Sends what the connection takes now, at least one byte.
    virtual NetError WriteSome(const char* data, size_t size, size_t& sent, const CNetworkWait& wait) = 0;
    // Tells the peer that nothing more will be sent (the end of an upload);
    // what was sent before still reaches it.
    virtual NetError FinishSending(const CNetworkWait& wait) = 0;
    virtual void Close() = 0;
    // Whether a ReadSome would return at once (bytes or the end have
    // arrived); false when it cannot tell.
    virtual bool HasInput() { return false; }

    // Sends all of data.
    NetError WriteAll(const char* data, size_t size, const CNetworkWait& wait);
};
