// The system's steady clock.
#include "net/NetworkWait.h"

namespace {

class CTickClock : public CClock {
public:
    ULONGLONG Now() const override { return GetTickCount64(); }
};

}  // namespace

const CClock& SystemClock()
{
    static const CTickClock clock;
    return clock;
}
