#pragma once
// How long an HTTP transfer may wait before it fails, the same on every
// backend.
#include <chrono>

namespace velmora {

struct TransferLimits {
    // Name resolution and connection, per connection made.
    std::chrono::milliseconds connect;
    // No byte for this long, while a response or its body is awaited.
    std::chrono::milliseconds stall;
    // The whole transfer; zero: no limit.
    std::chrono::milliseconds total;
};

// The notice fetch blocks the start before any window is shown: whatever the
// network does, it gives up early enough for a window to appear within ten
// seconds of the start, the browser engine's own start-up (three to four
// seconds on a slow machine) included. A notice is a few bytes.
inline constexpr TransferLimits kNoticeLimits{std::chrono::seconds(4), std::chrono::seconds(3),
                                              std::chrono::seconds(5)};

// A download waits as WinINet does by default: a read that gets no byte for
// 30 seconds fails. A large archive may take as long as it needs.
inline constexpr TransferLimits kDownloadLimits{std::chrono::seconds(60), std::chrono::seconds(30),
                                                std::chrono::milliseconds(0)};

}  // namespace velmora
