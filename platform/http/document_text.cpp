#include "platform/http/document_text.h"
#include "platform/system/codepage.h"

namespace velmora {

bool isValidUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        int extra = 0;
        char32_t minimum = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++p;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1; minimum = 0x80; cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2; minimum = 0x800; cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3; minimum = 0x10000; cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

std::string documentText(std::string_view bytes)
{
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kBom.size()) == kBom)
        bytes.remove_prefix(kBom.size());
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return gb18030ToUtf8(bytes);
}

}  // namespace velmora
