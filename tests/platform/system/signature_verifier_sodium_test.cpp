// The platform's Ed25519 check against the known answers of RFC 8032,
// section 7.1, and against each of their parts changed by one bit.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/system/signature_verifier.h"

namespace velmora {
namespace {

std::string fromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

template <typename Bytes>
Bytes arrayFromHex(const std::string& hex)
{
    const std::string bytes = fromHex(hex);
    Bytes out{};
    EXPECT_EQ(bytes.size(), out.size());
    std::copy(bytes.begin(), bytes.end(), out.begin());
    return out;
}

struct KnownAnswer {
    const char* name;
    std::string publicKey;
    std::string message;
    std::string signature;
};

void PrintTo(const KnownAnswer& c, std::ostream* os) { *os << c.name; }

class KnownAnswerTest : public ::testing::TestWithParam<KnownAnswer> {
protected:
    bool verify(const std::string& message, const Ed25519Signature& signature, const Ed25519PublicKey& key)
    {
        return verifier->verify(message, signature, key);
    }

    const std::unique_ptr<SignatureVerifier> verifier = createSignatureVerifier();
    const std::string message = fromHex(GetParam().message);
    const Ed25519Signature signature = arrayFromHex<Ed25519Signature>(GetParam().signature);
    const Ed25519PublicKey key = arrayFromHex<Ed25519PublicKey>(GetParam().publicKey);
};

TEST_P(KnownAnswerTest, TheSignatureHolds) { EXPECT_TRUE(verify(message, signature, key)); }

TEST_P(KnownAnswerTest, NoBitOfTheSignatureCanChange)
{
    for (std::size_t i = 0; i < signature.size(); ++i) {
        Ed25519Signature changed = signature;
        changed[i] ^= static_cast<unsigned char>(1u << (i % 8));
        EXPECT_FALSE(verify(message, changed, key)) << "byte " << i;
    }
}

TEST_P(KnownAnswerTest, NoBitOfTheKeyCanChange)
{
    for (std::size_t i = 0; i < key.size(); ++i) {
        Ed25519PublicKey changed = key;
        changed[i] ^= static_cast<unsigned char>(1u << (i % 8));
        EXPECT_FALSE(verify(message, signature, changed)) << "byte " << i;
    }
}

TEST_P(KnownAnswerTest, OnlyTheSignedBytesPass)
{
    for (std::size_t i = 0; i < message.size(); ++i) {
        std::string changed = message;
        changed[i] = static_cast<char>(changed[i] ^ 0x01);
        EXPECT_FALSE(verify(changed, signature, key)) << "byte " << i;
    }
    EXPECT_FALSE(verify(message + '\0', signature, key)) << "a byte more";
    if (!message.empty()) {
        EXPECT_FALSE(verify(message.substr(0, message.size() - 1), signature, key)) << "a byte less";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rfc8032, KnownAnswerTest,
    ::testing::Values(
        KnownAnswer{"Test1EmptyMessage", "d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a", "",
                    "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb8821590a33bacc61e39701cf9b46bd25"
                    "bf5f0595bbe24655141438e7a100b"},
        KnownAnswer{"Test2OneByte", "3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c", "72",
                    "92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da085ac1e43e15996e458f3613d0f11d8c387"
                    "b2eaeb4302aeeb00d291612bb0c00"},
        KnownAnswer{"Test3TwoBytes", "fc51cd8e6218a1a38da47ed00230f0580816ed13ba3303ac5deb911548908025", "af82",
                    "6291d657deec24024827e69c3abe01a30ce548a284743a445e3680d7db5ac3ac18ff9b538d16f290ae67f760984dc6594a7"
                    "c15e9716ed28dc027beceea1ec40a"},
        KnownAnswer{"TestShaOfAbc", "ec172b93ad5e563bf4932c70e1245034c35467ef2efd4d64ebf819683467e2bf",
                    "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454"
                    "d4423643ce80e2a9ac94fa54ca49f",
                    "dc2a4459e7369633a52b1bf277839a00201009a3efbf3ecb69bea2186c26b58909351fc9ac90b3ecfdfbc7c66431e0303dc"
                    "a179c138ac17ad9bef1177331a704"}),
    [](const ::testing::TestParamInfo<KnownAnswer>& info) { return std::string(info.param.name); });

TEST(SignatureVerifier, AKeyOfSmallOrderPassesNothing)
{
    // The identity point with the signature (identity, 0) "holds" for every
    // message in a lax check; the library must refuse such a key.
    Ed25519PublicKey identity{};
    identity[0] = 1;
    Ed25519Signature signature{};
    signature[0] = 1;
    EXPECT_FALSE(createSignatureVerifier()->verify("any archive", signature, identity));
}

}  // namespace
}  // namespace velmora
