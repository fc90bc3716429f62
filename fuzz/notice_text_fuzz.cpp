// The update notice against any bytes a server can send. The text made of
// them must be valid UTF-8 (whatever came), valid UTF-8 must come through as
// it was (less a leading byte-order mark, which the reading drops first), and
// the comparison must ask for an update only for the marker itself: its UTF-8
// or its GB18030 bytes, after such a mark or not. Validity is judged by
// glibc's own UTF-8 decoder, not by the code under test.
#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/update_notice.h"
#include "platform/http/document_text.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kMarkerUtf8 = "\xE6\x9C\x89\xE6\x9B\xB4\xE6\x96\xB0";
constexpr std::string_view kMarkerGb18030 = "\xD3\xD0\xB8\xFC\xD0\xC2";

[[noreturn]] void fail(const char* what, std::string_view bytes)
{
    std::fprintf(stderr, "notice text fuzz: %s for %zu bytes:", what, bytes.size());
    for (const char c : bytes)
        std::fprintf(stderr, " %02X", static_cast<unsigned char>(c));
    std::fprintf(stderr, "\n");
    std::abort();
}

// True when glibc decodes every byte as UTF-8 into code points that are
// neither surrogates nor beyond U+10FFFF.
bool decodesAsUtf8(std::string_view bytes)
{
    static const iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        std::abort();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char32_t points[256];
        char* out = reinterpret_cast<char*>(points);
        std::size_t outLeft = sizeof points;
        const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        const std::size_t count = (sizeof points - outLeft) / sizeof(char32_t);
        for (std::size_t i = 0; i < count; ++i) {
            if ((points[i] >= 0xD800 && points[i] <= 0xDFFF) || points[i] > 0x10FFFF)
                return false;
        }
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = velmora::documentText(bytes);
    if (!decodesAsUtf8(text))
        fail("the text is not valid UTF-8", bytes);
    if (!velmora::isValidUtf8(text))
        fail("the text is not UTF-8 by the program's own reading", bytes);

    std::string_view unmarked = bytes;
    if (unmarked.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        unmarked.remove_prefix(kByteOrderMark.size());
    const bool utf8 = decodesAsUtf8(unmarked);
    if (velmora::isValidUtf8(unmarked) != utf8)
        fail("UTF-8 validity judged differently from glibc", bytes);
    if (utf8 && text != unmarked)
        fail("valid UTF-8 did not come through as it was", bytes);

    const bool isMarker = unmarked == kMarkerUtf8 || unmarked == kMarkerGb18030;
    if (velmora::isUpdateMarker(text) != isMarker)
        fail(isMarker ? "the marker was not recognised" : "something else was taken for the marker", bytes);
    return 0;
}
