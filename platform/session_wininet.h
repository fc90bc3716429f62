#pragma once
// One WinINet Internet handle (InternetOpenA), closed with its owner.
//
// Handles are kept as void* (HINTERNET) so that this header brings no
// windows.h along: WinINet's macros share their names with the constants of
// platform/internet.h.
#include <cstdint>
#include <memory>
#include <string>

namespace velmora {

class WinInetSession {
public:
    // InternetOpenA(agent, accessType, no proxy, no bypass list, flags), the
    // agent converted to the ANSI code page. Nothing when the call fails;
    // failure then holds WinINet's reason.
    static std::unique_ptr<WinInetSession> open(const std::string& agent, std::uint32_t accessType,
                                                std::uint32_t flags, std::string* failure = nullptr);

    // Takes ownership of an open Internet handle.
    explicit WinInetSession(void* handle) : handle_(handle) {}
    ~WinInetSession();
    WinInetSession(const WinInetSession&) = delete;
    WinInetSession& operator=(const WinInetSession&) = delete;

    void* handle() const { return handle_; }

private:
    void* handle_;
};

}  // namespace velmora
