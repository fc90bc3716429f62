// The Content-Length text against any bytes a server can put there. The
// downloader reads it from a fixed buffer of 512 characters, NUL after the
// value. sizeTextValue must give the value of a plain decimal number that
// fits 32 bits (blanks around it allowed), 0 for any other text, and refuse
// a plain number beyond 2147483647 with DownloadError and nothing else.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "updater/download_error.h"
#include "updater/size_text.h"

namespace {

struct Reading {
    bool tooLarge = false;
    std::int64_t value = 0;
};

// The expected reading, worked out digit by digit with room to spare.
Reading expectedReading(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    Reading reading;
    for (const char digit : text) {
        reading.value = reading.value * 10 + (digit - '0');
        if (reading.value > 2147483647)
            return {true, 0};
    }
    return reading;
}

[[noreturn]] void fail(const char* what, std::string_view text)
{
    std::fprintf(stderr, "size text fuzz: %s for \"%.*s\"\n", what, static_cast<int>(text.size()), text.data());
    std::abort();
}

void check(std::string_view text)
{
    const Reading expected = expectedReading(text);
    try {
        const std::int32_t value = velmora::sizeTextValue(text);
        if (expected.tooLarge)
            fail("a length beyond 32 bits was taken", text);
        if (value != expected.value)
            fail("the length read is not the text's value", text);
    } catch (const velmora::DownloadError&) {
        if (!expected.tooLarge)
            fail("a length within 32 bits was refused", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // As the downloader's buffer holds it, and as bare text of any length.
    std::string buffer(bytes.substr(0, velmora::kSizeTextLength));
    buffer.resize(velmora::kSizeTextLength, '\0');
    check(buffer);
    check(bytes);
    return 0;
}
