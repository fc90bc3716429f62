#pragma once
// The publisher's Ed25519 key pair as velmora-sign keeps it: the private key
// in the PKCS #8 PEM form that `openssl genpkey -algorithm ed25519` writes,
// so that each tool reads the other's keys, and the public key as the build
// takes it (VELMORA_UPDATE_PUBLIC_KEY).
#include <sodium.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system/signature_verifier.h"

namespace velmora {

class SigningKey {
public:
    // A new pair from the system's random source.
    static SigningKey generate();
    // The key in text, as pemText() or openssl writes it; nothing for any
    // other text (another algorithm, damaged Base64, a key cut short).
    static std::optional<SigningKey> fromPem(std::string_view text);

    SigningKey(const SigningKey&) = delete;
    SigningKey& operator=(const SigningKey&) = delete;
    SigningKey(SigningKey&& other) noexcept;
    SigningKey& operator=(SigningKey&&) = delete;
    // The secret does not outlive its object in memory.
    ~SigningKey();

    std::string pemText() const;
    const Ed25519PublicKey& publicKey() const { return publicKey_; }
    // Pure Ed25519 over the whole message, as the updater checks it.
    Ed25519Signature sign(std::string_view message) const;

private:
    using Seed = std::array<unsigned char, crypto_sign_SEEDBYTES>;
    explicit SigningKey(const Seed& seed);

    Seed seed_{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey_{};
    Ed25519PublicKey publicKey_{};
};

// Base64 of bytes, the standard alphabet with '=' padding.
std::string base64Text(const unsigned char* bytes, std::size_t size);

template <std::size_t N>
std::string base64Text(const std::array<unsigned char, N>& bytes)
{
    return base64Text(bytes.data(), bytes.size());
}

}  // namespace velmora
