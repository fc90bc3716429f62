#pragma once
// What the updater window shows for one progress notification: four lines
// of percentage, length, bytes so far and speed, the last three in KiB.
#include <cstdint>
#include <string>

namespace velmora {

// A speed of 0 bytes per second is shown as 10.
std::int32_t shownSpeed(std::int32_t lSpeed);

// Whole percent of lFilesize that lDownLoaded makes, an exact half going to
// the even neighbour; 0 when the length is unknown (0 or less). More than
// 100 when more bytes came than were announced.
std::int64_t progressPercent(std::int32_t lDownLoaded, std::int32_t lFilesize);

// value as a plain decimal with up to 15 significant digits, no trailing
// zeros, no grouping and never an exponent for the quotients of a 32-bit
// count by 1024.
std::string plainNumber(double value);

// The four lines joined by CR LF, nothing after the last. lSpeed is shown
// as shownSpeed(lSpeed).
std::string progressCaption(std::int32_t lDownLoaded, std::int32_t lFilesize, std::int32_t lSpeed);

// The same into caption, reusing its storage: a caller that writes one for
// every block allocates nothing after the first.
void writeProgressCaption(std::string& caption, std::int32_t lDownLoaded, std::int32_t lFilesize,
                          std::int32_t lSpeed);

}  // namespace velmora
