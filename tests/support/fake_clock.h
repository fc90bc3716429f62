#pragma once
// A time-of-day clock that a test sets, advances or scripts instead of
// sleeping. Scripted readings are handed out one per call, in order; after
// the last one the clock stands at it until it is set again.
#include <cstddef>
#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/system/clock.h"

namespace velmora {

class FakeClock final : public Clock {
public:
    FakeClock() = default;
    FakeClock(std::initializer_list<double> readings) : readings_(readings) {}

    void script(std::vector<double> readings)
    {
        readings_ = std::move(readings);
        next_ = 0;
    }
    void set(double seconds)
    {
        readings_.clear();
        now_ = seconds;
    }
    void advance(double seconds) { now_ += seconds; }

    int reads() const { return reads_; }

    double secondsSinceMidnight() override
    {
        ++reads_;
        if (next_ < readings_.size())
            now_ = readings_[next_++];
        return now_;
    }

private:
    std::vector<double> readings_;
    std::size_t next_ = 0;
    double now_ = 0;
    int reads_ = 0;
};

}  // namespace velmora
