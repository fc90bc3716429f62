#pragma once
// How the downloader measures its average speed: whole seconds on a clock that
// reads the time of day, rounded the way the whole program rounds.
#include <cstdint>

namespace velmora {

// Nearest whole number, an exact half going to the even neighbour, whatever
// the floating-point rounding mode in force.
double roundHalfEven(double value);

// Bytes per second over the span rounded to whole seconds; 1025 when that
// rounds to 0 or less (too early to tell, or the clock went back).
std::int32_t averageSpeed(std::int32_t downloaded, double spanSeconds);

// The time since a download began, from readings of a time-of-day clock that
// starts again near 0 after midnight. The start is the first reading rounded
// to whole seconds. A reading more than half a day earlier than the one before
// it is taken to be on the next day; smaller steps back are clock adjustments
// and are left as they are.
class DownloadClock {
public:
    explicit DownloadClock(double startReading);

    // Seconds from the start second to this reading, which must be taken
    // after every earlier one passed to this object.
    double spanTo(double reading);
    // The same from the first reading itself, unrounded: for a time limit
    // rather than a speed.
    double elapsedTo(double reading);

private:
    // The reading on the scale of the start's day.
    double onStartDay(double reading);

    double startReading_;
    double startSecond_;
    double previousReading_;
    double daysPassed_ = 0;
};

}  // namespace velmora
