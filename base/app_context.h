#pragma once
// What every window of the program is handed when it is created.
#include <optional>

#include "platform/system/signature_verifier.h"

namespace velmora {

class FailureHandler;
class Platform;
class WindowRegistry;

struct AppContext {
    Platform& platform;
    WindowRegistry& windows;
    FailureHandler& failures;
    // The publisher's key that release archives must be signed with; none:
    // the updater asks for no signature. The program passes the one it was
    // built with (builtInUpdateKey()).
    std::optional<Ed25519PublicKey> updateKey = std::nullopt;
};

}  // namespace velmora
