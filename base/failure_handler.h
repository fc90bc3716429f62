#pragma once
// The single handling of uncaught failures: every handler of every window
// runs inside guard(), and whatever ends it arrives here. The program keeps
// running; how the user is told is up to the implementation.
#include <exception>
#include <string>
#include <string_view>

namespace velmora {

class FailureHandler {
public:
    virtual ~FailureHandler() = default;

    // action: what the user was doing, in the user's language ("检查更新").
    virtual void report(std::string_view action, std::string_view reason) = 0;

    template <typename Handler>
    void guard(std::string_view action, Handler&& handler) noexcept
    {
        try {
            handler();
        } catch (const std::exception& e) {
            report(action, e.what());
        } catch (...) {
            report(action, "未知错误");
        }
    }
};

}  // namespace velmora
