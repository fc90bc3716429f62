#pragma once
// platform/system/: the clock, the shell, system errors and failure classes,
// code pages and the signature verifier. The bottom room: uses no other.
//
// The failure every platform service reports: its class, what was attempted,
// in the user's language, and the library's or the system's own reason.
#include <stdexcept>
#include <string>

#include "platform/system/failure_class.h"

namespace velmora {

class PlatformError : public std::runtime_error {
public:
    PlatformError(FailureClass failureClass, std::string action, const std::string& reason)
        : std::runtime_error(action + "：" + reason), failureClass_(failureClass), action_(std::move(action)),
          reason_(reason) {}
    PlatformError(std::string action, const std::string& reason)
        : PlatformError(FailureClass::Unclassified, std::move(action), reason) {}

    FailureClass failureClass() const noexcept { return failureClass_; }
    const std::string& action() const noexcept { return action_; }
    const std::string& reason() const noexcept { return reason_; }

private:
    FailureClass failureClass_;
    std::string action_;
    std::string reason_;
};

// The class of a system error code (errno on POSIX, GetLastError() on
// Windows), for the byte file and the other system calls.
FailureClass systemFailureClass(unsigned long code);

// A system call that failed with that code: its class for the user's words,
// the system's own text for the details.
PlatformError systemFailure(std::string action, unsigned long code);

}  // namespace velmora
