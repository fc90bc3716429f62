#pragma once
// A private X display for end-to-end tests: Xvfb with a small window manager
// (openbox), since stacking and window state are kept by a window manager.
#include <memory>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/failure_evidence.h"

namespace velmora::test {

class XSession {
public:
    // Starts Xvfb on a free display and openbox on it, their output kept
    // with the test's evidence; throws when either cannot be started. While
    // alive, its screen is part of the evidence of each failure.
    XSession(int width = 1280, int height = 1024);
    ~XSession();

    const std::string& display() const { return display_; }

    // Commands of the X tools, run against this display.
    std::string run(const std::string& command) const;
    // The id of the first visible window whose title contains title, or ""
    // when none appears within timeoutMs.
    std::string waitForWindow(const std::string& title, int timeoutMs) const;
    // Saves the whole screen as a PNG.
    void screenshot(const std::string& path) const;

private:
    void startDisplay(int width, int height);
    bool startWindowManager();

    std::string display_;
    std::unique_ptr<ChildProcess> xvfb_;
    std::unique_ptr<ChildProcess> windowManager_;
    FailureWitness witness_;
};

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowGeometry&) const = default;
};

WindowGeometry windowGeometry(const XSession& x, const std::string& window);

}  // namespace velmora::test
