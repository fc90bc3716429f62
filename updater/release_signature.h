#pragma once
// The publisher's signature of a release archive as the site serves it, at
// the archive's address followed by ".sig": the Base64 of the 64-byte Ed25519
// signature over the whole archive, and the public key it is checked against.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system/signature_verifier.h"

namespace velmora {

// The largest archive the updater downloads: its lengths are 32-bit.
inline constexpr std::uint64_t kMaxReleaseArchiveBytes = 2147483647;

// The signature in the text of a ".sig" file: exactly one Base64 encoding of
// 64 bytes, with any ASCII whitespace before and after it (a line end, say).
// Nothing for anything else.
std::optional<Ed25519Signature> parseSignatureText(std::string_view text);

// A public key as the build takes it: the Base64 of its 32 bytes, alone.
std::optional<Ed25519PublicKey> parsePublicKeyText(std::string_view text);

// Where the signature of the archive at archiveUrl is served.
std::string signatureAddress(const std::string& archiveUrl);

// The key the program was built with (VELMORA_UPDATE_PUBLIC_KEY); nothing
// when it was built without one, and then no download asks for a signature.
std::optional<Ed25519PublicKey> builtInUpdateKey();

}  // namespace velmora
