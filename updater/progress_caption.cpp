#include "updater/progress_caption.h"

#include <array>
#include <charconv>

#include "updater/download_speed.h"

namespace velmora {

namespace {

constexpr std::int32_t kSpeedShownForZero = 10;
constexpr double kBytesPerKiB = 1024;

std::string kibibytes(std::int32_t bytes)
{
    return plainNumber(bytes / kBytesPerKiB);
}

}  // namespace

std::int32_t shownSpeed(std::int32_t lSpeed)
{
    return lSpeed == 0 ? kSpeedShownForZero : lSpeed;
}

std::int64_t progressPercent(std::int32_t lDownLoaded, std::int32_t lFilesize)
{
    if (lFilesize <= 0)
        return 0;
    return static_cast<std::int64_t>(roundHalfEven(static_cast<double>(lDownLoaded) / lFilesize * 100));
}

std::string plainNumber(double value)
{
    // The general form switches to an exponent below 1e-4 and from 1e15 on;
    // the quotients shown here lie between 1/1024 and 2^31/1024.
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::general, 15);
    return std::string(text.data(), result.ptr);
}

std::string progressCaption(std::int32_t lDownLoaded, std::int32_t lFilesize, std::int32_t lSpeed)
{
    const std::string lineEnd = "\r\n";
    return "下载进度： " + std::to_string(progressPercent(lDownLoaded, lFilesize)) + ".0 %" + lineEnd
         + "软件大小： " + kibibytes(lFilesize) + lineEnd
         + "下载大小： " + kibibytes(lDownLoaded) + lineEnd
         + "下载速度： " + kibibytes(shownSpeed(lSpeed));
}

}  // namespace velmora
