#pragma once
// The time of day as the downloader measures speed with it.
namespace velmora {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since local midnight, with a fraction. Starts again near 0
    // after midnight; callers that measure spans must allow for that.
    virtual double secondsSinceMidnight() = 0;
};

Clock& systemClock();

}  // namespace velmora
