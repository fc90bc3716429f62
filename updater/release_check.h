#pragma once
// The check a whole download passes before it takes the target's place, in a
// program built with the publisher's key: the signature served beside the
// archive must be the key's signature over every byte downloaded.
#include <functional>
#include <optional>
#include <string>

#include "platform/files/byte_file.h"
#include "platform/http/internet.h"
#include "platform/system/signature_verifier.h"
#include "platform/windows/message_pump.h"

namespace velmora {

struct ReleaseCheck {
    Ed25519PublicKey publicKey;
    SignatureVerifier& verifier;  // outlives every download that uses it
    // Fetches the signature in a session of its own: one made with
    // kSignatureLimits, so that a slow server cannot hold the check for
    // longer than they allow. Outlives every download that uses it.
    Internet& internet;
};

// Longer than any signature text with room for line ends; a reply beyond it
// is not a signature, and its reading stops there.
inline constexpr std::size_t kMaxSignatureText = 1024;

// Called through every wait of the signature's request and after every read
// of it; false ends the fetch as failed (the user stopped it, or its time is
// up).
using BetweenReads = std::function<bool()>;

// The body at url, read through session; nothing when the request fails (an
// HTTP error included), a read fails, the body passes kMaxSignatureText or
// betweenReads says to end.
std::optional<std::string> fetchSignatureText(Internet& internet, InternetHandle session, const std::string& url,
                                              const BetweenReads& betweenReads);

// Whether the closed file at archivePath carries check's signature, as
// served at signatureAddress(archiveUrl). A signature that is missing,
// malformed, by another key or over other bytes, or whose fetch ended
// early, is false. The file is hashed through pump.DoEventsDuring, so the
// window is served meanwhile. Throws PlatformError when the file cannot be
// read.
bool releaseSignatureHolds(const ReleaseCheck& check, const std::string& archiveUrl, FileSystem& files,
                           const std::string& archivePath, const BetweenReads& betweenReads, MessagePump& pump);

}  // namespace velmora
