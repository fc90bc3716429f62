#include <chrono>
#include <ctime>

#include "platform/system/clock.h"

namespace velmora {

namespace {

class LocalTimeOfDay final : public Clock {
public:
    double secondsSinceMidnight() override
    {
        using namespace std::chrono;
        const auto now = system_clock::now();
        const std::time_t t = system_clock::to_time_t(now);
        std::tm local{};
        localtime_r(&t, &local);
        const double fraction =
            duration<double>(now - system_clock::from_time_t(t)).count();
        return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
    }
};

}  // namespace

Clock& systemClock()
{
    static LocalTimeOfDay clock;
    return clock;
}

}  // namespace velmora
