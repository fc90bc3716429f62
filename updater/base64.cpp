#include "updater/base64.h"

#include <array>

namespace velmora {

namespace {

constexpr int kNotInAlphabet = -1;

constexpr std::array<int, 256> makeDecodeTable()
{
    std::array<int, 256> table{};
    table.fill(kNotInAlphabet);
    constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < kAlphabet.size(); ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
    return table;
}

constexpr std::array<int, 256> kDecode = makeDecodeTable();

}  // namespace

bool decodeBase64Exactly(std::string_view text, unsigned char* out, std::size_t size)
{
    const std::size_t padding = (3 - size % 3) % 3;
    if (text.size() != (size + 2) / 3 * 4)
        return false;
    const std::size_t digits = text.size() - padding;
    for (std::size_t i = digits; i < text.size(); ++i)
        if (text[i] != '=')
            return false;

    std::size_t written = 0;
    unsigned bits = 0;
    int pending = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int value = kDecode[static_cast<unsigned char>(text[i])];
        if (value == kNotInAlphabet)
            return false;
        bits = (bits << 6) | static_cast<unsigned>(value);
        pending += 6;
        if (pending >= 8) {
            pending -= 8;
            out[written++] = static_cast<unsigned char>(bits >> pending);
            bits &= (1u << pending) - 1;
        }
    }
    // What is left over is padding: another encoder's nonzero bits there
    // would give a second text for the same bytes.
    return written == size && bits == 0;
}

}  // namespace velmora
