#pragma once
// Ed25519 signature checks, as the publisher signs its release archives: the
// signature is over the whole file, in the pure form (no prehash) that
// `openssl pkeyutl -sign -rawin` makes.
#include <array>
#include <memory>
#include <string_view>

namespace velmora {

using Ed25519PublicKey = std::array<unsigned char, 32>;
using Ed25519Signature = std::array<unsigned char, 64>;

class SignatureVerifier {
public:
    virtual ~SignatureVerifier() = default;
    // True only when signature is publicKey's signature over exactly
    // message. Any other answer of the library (a wrong signature, a key that
    // is not a valid point, a signature that is not canonical) is false.
    // Holds no reference to its arguments after it returns.
    virtual bool verify(std::string_view message, const Ed25519Signature& signature,
                        const Ed25519PublicKey& publicKey) = 0;
};

// The library of the platform this program is built for (libsodium).
// Throws PlatformError when the library cannot be initialised.
std::unique_ptr<SignatureVerifier> createSignatureVerifier();

}  // namespace velmora
