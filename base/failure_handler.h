#pragma once
// The single handling of uncaught failures: every handler of every window
// runs inside guard(), and whatever ends it arrives here. The program keeps
// running; how the user is told is up to the implementation.
#include <exception>
#include <string_view>

#include "base/failure.h"

namespace velmora {

class FailureHandler {
public:
    virtual ~FailureHandler() = default;

    virtual void report(const Failure& failure) = 0;

    // action: what the user was doing, in the user's language ("检查更新").
    template <typename Handler>
    void guard(std::string_view action, Handler&& handler) noexcept
    {
        try {
            handler();
        } catch (...) {
            report(failureOf(action, std::current_exception()));
        }
    }
};

}  // namespace velmora
