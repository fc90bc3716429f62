#include <sodium.h>

#include "platform/system/platform_error.h"
#include "platform/system/signature_verifier.h"

namespace velmora {

namespace {

class SodiumSignatureVerifier final : public SignatureVerifier {
public:
    bool verify(std::string_view message, const Ed25519Signature& signature,
                const Ed25519PublicKey& publicKey) override
    {
        static_assert(sizeof(Ed25519Signature) == crypto_sign_BYTES);
        static_assert(sizeof(Ed25519PublicKey) == crypto_sign_PUBLICKEYBYTES);
        return crypto_sign_verify_detached(signature.data(), reinterpret_cast<const unsigned char*>(message.data()),
                                           message.size(), publicKey.data()) == 0;
    }
};

}  // namespace

std::unique_ptr<SignatureVerifier> createSignatureVerifier()
{
    // Safe to call any number of times; 1 means it had been done already.
    if (sodium_init() < 0)
        throw PlatformError("无法初始化签名校验库", "sodium_init 失败");
    return std::make_unique<SodiumSignatureVerifier>();
}

}  // namespace velmora
