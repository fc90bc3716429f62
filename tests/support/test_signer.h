#pragma once
// Signs as the publisher does (pure Ed25519 over the whole archive), with
// keys made from fixed seeds, for tests that check real signatures.
#include <sodium.h>

#include <array>
#include <stdexcept>
#include <string>

#include "platform/system/signature_verifier.h"
#include "tests/support/fake_signature_verifier.h"

namespace velmora::test {

class TestSigner {
public:
    explicit TestSigner(unsigned char seedByte)
    {
        if (sodium_init() < 0)
            throw std::runtime_error("sodium_init failed");
        std::array<unsigned char, crypto_sign_SEEDBYTES> seed{};
        seed.fill(seedByte);
        crypto_sign_seed_keypair(publicKey_.data(), secretKey_.data(), seed.data());
    }

    const Ed25519PublicKey& publicKey() const { return publicKey_; }

    // The ".sig" file's text for message: Base64 and a line end, as
    // `openssl base64` writes it.
    std::string signatureText(const std::string& message) const
    {
        Ed25519Signature signature{};
        crypto_sign_detached(signature.data(), nullptr, reinterpret_cast<const unsigned char*>(message.data()),
                             message.size(), secretKey_.data());
        return toBase64(signature) + "\n";
    }

private:
    Ed25519PublicKey publicKey_{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey_{};
};

}  // namespace velmora::test
