#pragma once
// The failure every platform service reports: what was attempted, in the
// user's language, and the library's or the system's own reason.
#include <stdexcept>
#include <string>

namespace velmora {

class PlatformError : public std::runtime_error {
public:
    PlatformError(std::string action, const std::string& reason)
        : std::runtime_error(action + "：" + reason), action_(std::move(action)), reason_(reason) {}

    const std::string& action() const noexcept { return action_; }
    const std::string& reason() const noexcept { return reason_; }

private:
    std::string action_;
    std::string reason_;
};

}  // namespace velmora
