#include "updater/release_signature.h"

#include <stdexcept>

#include "updater/base64.h"
#include "updater/update_key.h"

namespace velmora {

namespace {

constexpr std::string_view kWhitespace = " \t\r\n\v\f";

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

}  // namespace

std::optional<Ed25519Signature> parseSignatureText(std::string_view text)
{
    Ed25519Signature signature{};
    if (!decodeBase64Exactly(trimmed(text), signature.data(), signature.size()))
        return std::nullopt;
    return signature;
}

std::optional<Ed25519PublicKey> parsePublicKeyText(std::string_view text)
{
    Ed25519PublicKey key{};
    if (!decodeBase64Exactly(text, key.data(), key.size()))
        return std::nullopt;
    return key;
}

std::string signatureAddress(const std::string& archiveUrl) { return archiveUrl + ".sig"; }

std::optional<Ed25519PublicKey> builtInUpdateKey()
{
    if (kUpdatePublicKey.empty())
        return std::nullopt;
    // The build refuses a malformed key; reaching this is a build that
    // skipped that check, and checking nothing would be the wrong answer.
    const std::optional<Ed25519PublicKey> key = parsePublicKeyText(kUpdatePublicKey);
    if (!key)
        throw std::logic_error("the built-in update key is not the Base64 of 32 bytes");
    return key;
}

}  // namespace velmora
