// The geometry tag fuzz target run over random tags with a fixed seed, so the
// ordinary suite exercises it too. The target aborts on a broken property.
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace velmora {
namespace {

// Pieces that make near-miss tags: digits, separators of every locale the
// target knows, signs, exponents, words and the spaces that are not spaces.
const std::vector<std::string_view> kPieces = {
    "0", "1", "2", "5", "9", "120", "11295", " ", " ", " ", ".", ",", "-", "+", "e", "E", "e+",
    "e-", "\u2212", "\u066B", "\u061C", "\u061C-", "\u3000", "\t", std::string_view("\0", 1),
    "abc", "inf", "nan", "0x1p3", "1e308", "1e-400", "340282356779733661637539395458142568448",
    "\xff", "\xe2\x88",
};

std::string randomInput(std::mt19937& random)
{
    std::string input(1, static_cast<char>(random() % 256));
    const std::size_t pieces = random() % 24;
    for (std::size_t i = 0; i < pieces; ++i)
        input += kPieces[random() % kPieces.size()];
    return input;
}

TEST(GeometryTagRandom, ReadsAnyTagIntoFiniteValuesThatSurviveARoundTrip)
{
    std::mt19937 random(20240611);
    for (int i = 0; i < 50000; ++i) {
        const std::string input = randomInput(random);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
    // Raw bytes as well, for what the pieces never put together.
    for (int i = 0; i < 20000; ++i) {
        std::string input(random() % 40, '\0');
        for (char& c : input)
            c = static_cast<char>(random() % 256);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
}

}  // namespace
}  // namespace velmora
