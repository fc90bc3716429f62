#include "updater/download_speed.h"

#include <cmath>

namespace velmora {

namespace {

constexpr double kSecondsPerDay = 86400;
constexpr std::int32_t kSpeedTooEarly = 1025;

}  // namespace

double roundHalfEven(double value)
{
    const double below = std::floor(value);
    // Exact for every finite double, so the comparisons below see the true
    // fraction and no rounding mode can move a half.
    const double fraction = value - below;
    if (fraction < 0.5)
        return below;
    if (fraction > 0.5)
        return below + 1;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::int32_t averageSpeed(std::int32_t downloaded, double spanSeconds)
{
    const double elapsed = roundHalfEven(spanSeconds);
    if (!(elapsed > 0))
        return kSpeedTooEarly;
    // elapsed is at least 1 here, so the quotient stays within the range of
    // downloaded and the conversion cannot overflow.
    return static_cast<std::int32_t>(roundHalfEven(downloaded / elapsed));
}

DownloadClock::DownloadClock(double startReading)
    : startReading_(startReading), startSecond_(roundHalfEven(startReading)), previousReading_(startReading)
{
}

double DownloadClock::spanTo(double reading) { return onStartDay(reading) - startSecond_; }

double DownloadClock::elapsedTo(double reading) { return onStartDay(reading) - startReading_; }

double DownloadClock::onStartDay(double reading)
{
    if (reading < previousReading_ - kSecondsPerDay / 2)
        ++daysPassed_;
    previousReading_ = reading;
    return reading + daysPassed_ * kSecondsPerDay;
}

}  // namespace velmora
