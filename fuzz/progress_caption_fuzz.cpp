// The updater's progress caption over the whole 32-bit range of its three
// inputs (the first 12 bytes: byte count, length, speed). It must be four
// lines joined by CR LF with their fixed heads; the percentage a whole number
// within half a unit of the exact one (0 when the length is not positive);
// each quotient a plain decimal without exponent, grouping or trailing zeros,
// of at most 15 significant digits, equal to bytes / 1024 to that precision.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "updater/progress_caption.h"

namespace {

struct Inputs {
    std::int32_t downloaded;
    std::int32_t filesize;
    std::int32_t speed;
};

[[noreturn]] void fail(const char* what, const Inputs& in, std::string_view caption)
{
    std::fprintf(stderr, "progress caption fuzz: %s for (%d, %d, %d):\n%.*s\n", what, in.downloaded, in.filesize,
                 in.speed, static_cast<int>(caption.size()), caption.data());
    std::abort();
}

std::vector<std::string_view> lines(std::string_view caption)
{
    std::vector<std::string_view> result;
    for (;;) {
        const auto end = caption.find("\r\n");
        result.push_back(caption.substr(0, end));
        if (end == std::string_view::npos)
            return result;
        caption.remove_prefix(end + 2);
    }
}

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "-"? digits ("." digits with no trailing zero)?, at most 15 significant digits.
bool isPlainDecimal(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
    if (!isDigits(whole) || (whole.size() > 1 && whole.front() == '0'))
        return false;
    if (point != std::string_view::npos && (!isDigits(fraction) || fraction.back() == '0'))
        return false;
    std::string digits = std::string(whole) + std::string(fraction);
    digits.erase(0, digits.find_first_not_of('0'));
    return digits.size() <= 15;
}

void checkQuotient(std::string_view line, std::string_view head, std::int32_t bytes, const Inputs& in,
                   std::string_view caption)
{
    if (line.substr(0, head.size()) != head)
        fail("a line lost its head", in, caption);
    const std::string number(line.substr(head.size()));
    if (!isPlainDecimal(number))
        fail("a quotient is not a plain decimal", in, caption);
    const double exact = bytes / 1024.0;
    if (std::fabs(std::strtod(number.c_str(), nullptr) - exact) > std::fabs(exact) * 1e-14)
        fail("a quotient is not bytes / 1024", in, caption);
}

void checkPercent(std::string_view line, const Inputs& in, std::string_view caption)
{
    constexpr std::string_view head = "下载进度： ";
    constexpr std::string_view tail = ".0 %";
    if (line.substr(0, head.size()) != head || line.size() < head.size() + tail.size()
        || line.substr(line.size() - tail.size()) != tail)
        fail("the percentage line is malformed", in, caption);
    std::string_view number = line.substr(head.size(), line.size() - head.size() - tail.size());
    const bool negative = !number.empty() && number.front() == '-';
    if (negative)
        number.remove_prefix(1);
    if (!isDigits(number) || (number.size() > 1 && number.front() == '0'))
        fail("the percentage is not a whole number", in, caption);
    const long double shown = (negative ? -1.0L : 1.0L) * std::strtold(std::string(number).c_str(), nullptr);
    const long double exact = in.filesize > 0 ? 100.0L * in.downloaded / in.filesize : 0.0L;
    if (std::fabs(shown - exact) > 0.5L + std::fabs(exact) * 1e-12L)
        fail("the percentage is not the nearest whole number", in, caption);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t bytes[12] = {};
    std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    Inputs in{};
    std::memcpy(&in.downloaded, bytes, 4);
    std::memcpy(&in.filesize, bytes + 4, 4);
    std::memcpy(&in.speed, bytes + 8, 4);

    const std::string caption = velmora::progressCaption(in.downloaded, in.filesize, in.speed);
    // Written over an older, longer caption, it must come out the same.
    std::string reused(300, '#');
    velmora::writeProgressCaption(reused, in.downloaded, in.filesize, in.speed);
    if (reused != caption)
        fail("a caption written into used storage differs", in, reused);

    const std::vector<std::string_view> parts = lines(caption);
    if (parts.size() != 4)
        fail("the caption is not four lines", in, caption);
    checkPercent(parts[0], in, caption);
    checkQuotient(parts[1], "软件大小： ", in.filesize, in, caption);
    checkQuotient(parts[2], "下载大小： ", in.downloaded, in, caption);
    checkQuotient(parts[3], "下载速度： ", in.speed == 0 ? 10 : in.speed, in, caption);
    return 0;
}
