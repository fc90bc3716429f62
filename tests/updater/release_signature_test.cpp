// The text of a ".sig" file and of the build's key: what is taken, what is
// refused, and the bytes that come out.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>

#include "tests/support/fake_signature_verifier.h"
#include "updater/base64.h"
#include "updater/release_signature.h"
#include "updater/update_key.h"

namespace velmora {
namespace {

// 64 bytes 0, 1, ..., 63 and their one canonical encoding.
Ed25519Signature countingSignature()
{
    Ed25519Signature bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i);
    return bytes;
}
const std::string kCounting = "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4vMDEyMzQ1Njc4OTo7PD0+Pw==";

struct TextCase {
    const char* name;
    std::string text;
    bool taken;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class SignatureTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(SignatureTextTest, TakesOnlyOneCanonicalEncodingOf64Bytes)
{
    const TextCase& c = GetParam();
    const std::optional<Ed25519Signature> signature = parseSignatureText(c.text);
    ASSERT_EQ(signature.has_value(), c.taken);
    if (c.taken) {
        EXPECT_EQ(*signature, countingSignature());
    }
}

std::string replaced(std::string text, std::size_t at, char with)
{
    text[at] = with;
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SignatureTextTest,
    ::testing::Values(
        TextCase{"Bare", kCounting, true},
        TextCase{"LineEnd", kCounting + "\n", true},
        TextCase{"CrLf", kCounting + "\r\n", true},
        TextCase{"SpacesAndTabsAround", " \t" + kCounting + " \t\n\n", true},
        TextCase{"VerticalTabAndFormFeed", "\v\f" + kCounting + "\f", true},
        TextCase{"Empty", "", false},
        TextCase{"WhitespaceOnly", " \r\n", false},
        TextCase{"LineBrokenInside", kCounting.substr(0, 64) + "\n" + kCounting.substr(64), false},
        TextCase{"SpaceInside", kCounting.substr(0, 10) + " " + kCounting.substr(10), false},
        TextCase{"PaddingMissing", kCounting.substr(0, 86), false},
        TextCase{"OnePaddingMissing", kCounting.substr(0, 87), false},
        TextCase{"PaddingTripled", kCounting + "=", false},
        TextCase{"PaddingInTheMiddle", replaced(kCounting, 40, '='), false},
        TextCase{"UrlSafeAlphabet", replaced(kCounting, 84, '-'), false},
        TextCase{"NotBase64", replaced(kCounting, 3, '*'), false},
        TextCase{"NulInside", replaced(kCounting, 3, '\0'), false},
        TextCase{"HighByte", replaced(kCounting, 3, '\xE4'), false},
        // "Pw" ends the bytes with 4 zero bits; "Px" sets one of them.
        TextCase{"PaddingBitsSet", replaced(kCounting, 85, 'x'), false},
        TextCase{"SixtyThreeBytes", "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4vMDEyMzQ1Njc4OTo7PD0+",
                 false},
        TextCase{"DigitsWherePaddingBelongs", kCounting.substr(0, 84) + "Pz9A", false},
        // The same 64 bytes with zero digits in place of "==": only the
        // padding characters themselves tell this text from the canonical one.
        TextCase{"ZeroDigitsWherePaddingBelongs", kCounting.substr(0, 86) + "AA", false},
        TextCase{"TwoSignatures", kCounting + "\n" + kCounting, false},
        TextCase{"HexInstead", std::string(128, 'a'), false},
        TextCase{"ErrorPage", "<html><body>404 Not Found</body></html>", false}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(SignatureText, DecodesWhatAnEncoderWrote)
{
    // Every byte value at every position of the three in a group.
    for (int shift = 0; shift < 3; ++shift) {
        Ed25519Signature bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(i * 4 + shift * 85 + 255);
        EXPECT_EQ(parseSignatureText(toBase64(bytes)), bytes) << toBase64(bytes);
    }
    Ed25519Signature ones{};
    ones.fill(0xFF);
    EXPECT_EQ(parseSignatureText(toBase64(ones)), ones);
}

TEST(Base64Exactly, PaddingFollowsTheByteCount)
{
    struct Case {
        std::string text;
        std::size_t size;
        std::string bytes;  // empty with ok false: refused
        bool ok;
    };
    const Case cases[] = {
        {"", 0, "", true},
        {"TQ==", 1, "M", true},
        {"TWE=", 2, "Ma", true},
        {"TWFu", 3, "Man", true},
        {"TWFuTQ==", 4, "ManM", true},
        {"TWFu", 2, "", false},   // three bytes where two are expected
        {"TWE=", 1, "", false},
        {"TR==", 1, "", false},   // the bits under the padding must be zero
        {"TWF=", 2, "", false},
        {"TQ=", 1, "", false},
        {"T===", 1, "", false},
        {"TQAA", 1, "", false},  // zero bits, but digits where '=' belongs
        {"TQA=", 1, "", false},
        {"TWEA", 2, "", false},
    };
    for (const Case& c : cases) {
        std::string out(c.size, '\0');
        const bool ok = decodeBase64Exactly(c.text, reinterpret_cast<unsigned char*>(out.data()), c.size);
        EXPECT_EQ(ok, c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(out, c.bytes) << c.text;
        }
    }
}

TEST(PublicKeyText, TakesTheBase64Of32BytesAndNothingAround)
{
    Ed25519PublicKey key{};
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<unsigned char>(200 - i);
    const std::string text = toBase64(key);
    ASSERT_EQ(text.size(), 44u);
    EXPECT_EQ(parsePublicKeyText(text), key);
    EXPECT_FALSE(parsePublicKeyText(text + "\n")) << "the build's value is taken as it is";
    EXPECT_FALSE(parsePublicKeyText(text.substr(0, 43)));
    EXPECT_FALSE(parsePublicKeyText(kCounting)) << "a signature is no key";
    EXPECT_FALSE(parsePublicKeyText(""));
}

TEST(PublicKeyText, TheBuiltInKeyIsTheOneTheBuildWasGiven)
{
    // The build's check and the program's parser must agree on every key.
    const std::optional<Ed25519PublicKey> key = builtInUpdateKey();
    EXPECT_EQ(key.has_value(), !kUpdatePublicKey.empty());
    if (key) {
        EXPECT_EQ(toBase64(*key), kUpdatePublicKey);
    }
}

}  // namespace
}  // namespace velmora
