#include "platform/system/codepage_win32.h"

#include <windows.h>

#include "platform/system/codepage.h"

namespace velmora {

namespace {

constexpr UINT kGb18030CodePage = 54936;
// GBK, the two-byte part of GB18030: what remains where the system has no
// GB18030 table (Wine before version 9 has none).
constexpr UINT kGbkCodePage = 936;
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

std::wstring toWide(UINT codePage, std::string_view bytes, DWORD flags = 0)
{
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length);
    return wide;
}

bool inRange(unsigned char c, unsigned char low, unsigned char high) { return c >= low && c <= high; }

// The length of the GB18030 sequence at the start of bytes: 1 for ASCII,
// 2 or 4 for a well-formed multi-byte sequence, 0 for a byte that starts
// none (which becomes one U+FFFD).
std::size_t sequenceLength(std::string_view bytes)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (at(0) < 0x80)
        return 1;
    if (!inRange(at(0), 0x81, 0xFE) || bytes.size() < 2)
        return 0;
    if (inRange(at(1), 0x40, 0x7E) || inRange(at(1), 0x80, 0xFE))
        return 2;
    if (inRange(at(1), 0x30, 0x39) && bytes.size() >= 4 && inRange(at(2), 0x81, 0xFE) && inRange(at(3), 0x30, 0x39))
        return 4;
    return 0;
}

}  // namespace

std::wstring utf8ToWide(std::string_view text) { return toWide(CP_UTF8, text); }

std::string wideToUtf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

std::optional<std::string> utf8ToAnsi(std::string_view text)
{
    const std::wstring wide = utf8ToWide(text);
    if (wide.empty())
        return std::string();
    const int size = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    const int length =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), length, nullptr, &lossy);
    if (lossy)
        return std::nullopt;
    return out;
}

std::string urlForAnsiCall(std::string_view url)
{
    if (auto ansi = utf8ToAnsi(url))
        return *ansi;
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
    return out;
}

std::string gb18030ToUtf8(std::string_view bytes)
{
    // Sequence by sequence, so that what does not decode becomes U+FFFD and
    // not the code page's own stand-in (936 maps a lone 0x80 to the euro sign).
    static const UINT codePage = ::IsValidCodePage(kGb18030CodePage) ? kGb18030CodePage : kGbkCodePage;
    std::string out;
    while (!bytes.empty()) {
        const std::size_t length = sequenceLength(bytes);
        if (length == 1) {
            out += bytes.front();
        } else {
            const std::wstring wide =
                length == 0 ? std::wstring() : toWide(codePage, bytes.substr(0, length), MB_ERR_INVALID_CHARS);
            out += wide.empty() ? std::string(kReplacementCharacter) : wideToUtf8(wide);
        }
        bytes.remove_prefix(length == 0 ? 1 : length);
    }
    return out;
}

}  // namespace velmora
