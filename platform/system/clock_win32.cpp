#include <windows.h>

#include "platform/system/clock.h"

namespace velmora {

namespace {

// The local wall clock, as the system shows it, to the millisecond.
class LocalTimeOfDay final : public Clock {
public:
    double secondsSinceMidnight() override
    {
        SYSTEMTIME local{};
        ::GetLocalTime(&local);
        return local.wHour * 3600.0 + local.wMinute * 60.0 + local.wSecond + local.wMilliseconds / 1000.0;
    }
};

}  // namespace

Clock& systemClock()
{
    static LocalTimeOfDay clock;
    return clock;
}

}  // namespace velmora
