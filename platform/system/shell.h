#pragma once
// Starts another program the way the system's shell would.
#include <memory>
#include <string>

namespace velmora {

inline constexpr int SW_SHOWMINIMIZED = 2;

class Shell {
public:
    virtual ~Shell() = default;
    // Runs commandLine with the given window style and returns at once.
    // "explorer.exe <address>" opens the address in the desktop's browser;
    // on Linux that is xdg-open. Returns false when nothing could be started.
    virtual bool Run(const std::string& commandLine, int windowStyle) = 0;
};

std::unique_ptr<Shell> createShell();

}  // namespace velmora
