// A connection as a stream of bytes: the one loop every stream's writers share.
#include "net/ByteStream.h"

NetError CByteStream::WriteAll(const char* data, size_t size, const CNetworkWait& wait)
{
    while (size > 0) {
        size_t sent = 0;
        if (const NetError error = WriteSome(data, size, sent, wait); error != NetError::none)
            return error;
        data += sent;
        size -= sent;
    }
    return NetError::none;
}
