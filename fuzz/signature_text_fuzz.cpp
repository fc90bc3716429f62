// The text of a ".sig" file against any bytes a server or a man in the middle
// can put there. parseSignatureText must take exactly the one canonical
// Base64 encoding of 64 bytes with whitespace around it, and give back those
// bytes: whatever it takes encodes back to the text it was given, and every
// 64 bytes encoded (and wrapped in whitespace) are taken as themselves.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "updater/release_signature.h"

namespace {

std::string encode(const std::uint8_t* bytes, std::size_t size)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < size; i += 3) {
        std::uint32_t group = std::uint32_t{bytes[i]} << 16;
        if (i + 1 < size)
            group |= std::uint32_t{bytes[i + 1]} << 8;
        if (i + 2 < size)
            group |= bytes[i + 2];
        for (int digit = 0; digit < 4; ++digit)
            text += i + digit <= size ? kAlphabet[(group >> (18 - 6 * digit)) & 63] : '=';
    }
    return text;
}

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view space = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(space);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

[[noreturn]] void fail(const char* what, std::string_view text)
{
    std::fprintf(stderr, "signature text fuzz: %s for \"%.*s\"\n", what, static_cast<int>(text.size()),
                 text.data());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto signature = velmora::parseSignatureText(text)) {
        if (encode(signature->data(), signature->size()) != trimmed(text))
            fail("a text was taken that is not the canonical encoding of what came out", text);
    }

    // The input's first 64 bytes as a signature, encoded with the whitespace
    // that follows them.
    if (size >= 64) {
        std::string served = encode(data, 64);
        for (std::size_t i = 64; i < size && i < 80; ++i)
            served += " \t\r\n"[data[i] & 3];
        const auto signature = velmora::parseSignatureText(served);
        if (!signature || !std::equal(signature->begin(), signature->end(), data))
            fail("an encoded signature was not read back", served);
    }
    return 0;
}
