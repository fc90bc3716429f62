#pragma once
// A stand-in for Ed25519 that a Qt-free test can reason about: the "signature"
// of a message by a key is the key's 32 bytes followed by a 32-byte digest of
// the message (FNV-1a, spread over the bytes). It holds for exactly the
// message and key it was made from, like the real thing, and any test can make
// a good one, one by another key, or one over other bytes.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/signature_verifier.h"

namespace velmora {

class FakeSignatureVerifier final : public SignatureVerifier {
public:
    static Ed25519Signature sign(std::string_view message, const Ed25519PublicKey& key)
    {
        Ed25519Signature signature{};
        std::uint64_t hash = 14695981039346656037ull;
        for (unsigned char c : message)
            hash = (hash ^ c) * 1099511628211ull;
        for (std::size_t i = 0; i < 32; ++i) {
            signature[i] = key[i];
            hash = (hash ^ i) * 1099511628211ull;
            signature[32 + i] = static_cast<unsigned char>(hash >> 56);
        }
        return signature;
    }

    bool verify(std::string_view message, const Ed25519Signature& signature,
                const Ed25519PublicKey& publicKey) override
    {
        messages.emplace_back(message);
        if (whileVerifying)
            whileVerifying();
        return signature == sign(message, publicKey);
    }

    std::vector<std::string> messages;  // every message asked about, in order
    // Runs inside verify, on the thread that checks: a hash that takes long.
    std::function<void()> whileVerifying;
};

// Base64 of bytes, for the ".sig" bodies the tests serve.
inline std::string toBase64(const unsigned char* bytes, std::size_t size)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < size; i += 3) {
        const std::uint32_t chunk = (std::uint32_t{bytes[i]} << 16) | (i + 1 < size ? bytes[i + 1] << 8 : 0)
                                    | (i + 2 < size ? bytes[i + 2] : 0);
        text += kAlphabet[(chunk >> 18) & 63];
        text += kAlphabet[(chunk >> 12) & 63];
        text += i + 1 < size ? kAlphabet[(chunk >> 6) & 63] : '=';
        text += i + 2 < size ? kAlphabet[chunk & 63] : '=';
    }
    return text;
}

template <std::size_t N>
std::string toBase64(const std::array<unsigned char, N>& bytes)
{
    return toBase64(bytes.data(), N);
}

}  // namespace velmora
