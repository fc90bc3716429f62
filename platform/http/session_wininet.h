#pragma once
// One WinINet Internet handle (InternetOpenA), closed with its owner.
//
// Handles are kept as void* (HINTERNET) so that this header brings no
// windows.h along: WinINet's macros share their names with the constants of
// platform/internet.h.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/system/failure_class.h"
#include "platform/http/http_rules.h"

namespace velmora {

// What InternetOpenA is called with, kept to open more sessions like one.
struct WinInetSessionSettings {
    std::string agent;
    std::uint32_t accessType = 0;
    std::uint32_t flags = 0;
    TransferLimits limits{};
};

class WinInetSession {
public:
    static std::unique_ptr<WinInetSession> open(const WinInetSessionSettings& settings)
    {
        return open(settings.agent, settings.accessType, settings.flags, settings.limits);
    }

    // InternetOpenA(agent, accessType, no proxy, no bypass list, flags), the
    // agent converted to the ANSI code page, with the connect, send and
    // receive time-outs of limits (the receive time-out being the stall
    // limit) set for every request made in it. Nothing when the call fails;
    // failure and failureClass then hold WinINet's reason and its class.
    static std::unique_ptr<WinInetSession> open(const std::string& agent, std::uint32_t accessType,
                                                std::uint32_t flags, const TransferLimits& limits,
                                                std::string* failure = nullptr,
                                                FailureClass* failureClass = nullptr);

    // Takes ownership of an open Internet handle.
    explicit WinInetSession(void* handle) : handle_(handle) {}
    ~WinInetSession();
    WinInetSession(const WinInetSession&) = delete;
    WinInetSession& operator=(const WinInetSession&) = delete;

    void* handle() const { return handle_; }

    // Closes the handle now, which also ends a call blocked in it on
    // another thread; handle() is null from then on. Not to be called
    // while another thread reads handle().
    void close();

private:
    void* handle_;
};

}  // namespace velmora
