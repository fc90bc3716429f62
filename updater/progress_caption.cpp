#include "updater/progress_caption.h"

#include <array>
#include <charconv>
#include <string_view>

#include "updater/download_speed.h"

namespace velmora {

namespace {

constexpr std::int32_t kSpeedShownForZero = 10;
constexpr double kBytesPerKiB = 1024;

void appendPlainNumber(std::string& text, double value)
{
    // The general form switches to an exponent below 1e-4 and from 1e15 on;
    // the quotients shown here lie between 1/1024 and 2^31/1024.
    std::array<char, 32> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::general, 15);
    text.append(digits.data(), result.ptr);
}

void appendLine(std::string& text, std::string_view head, std::int32_t bytes)
{
    text += head;
    appendPlainNumber(text, bytes / kBytesPerKiB);
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
    std::string text;
    appendPlainNumber(text, value);
    return text;
}

void writeProgressCaption(std::string& caption, std::int32_t lDownLoaded, std::int32_t lFilesize,
                          std::int32_t lSpeed)
{
    caption.clear();
    caption += "下载进度： ";
    std::array<char, 24> percent{};
    const auto end = std::to_chars(percent.data(), percent.data() + percent.size(),
                                   progressPercent(lDownLoaded, lFilesize)).ptr;
    caption.append(percent.data(), end);
    caption += ".0 %";
    appendLine(caption, "\r\n软件大小： ", lFilesize);
    appendLine(caption, "\r\n下载大小： ", lDownLoaded);
    appendLine(caption, "\r\n下载速度： ", shownSpeed(lSpeed));
}

std::string progressCaption(std::int32_t lDownLoaded, std::int32_t lFilesize, std::int32_t lSpeed)
{
    std::string caption;
    writeProgressCaption(caption, lDownLoaded, lFilesize, lSpeed);
    return caption;
}

}  // namespace velmora
