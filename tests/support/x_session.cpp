#include "tests/support/x_session.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace velmora::test {

namespace {

std::string firstLine(std::string text)
{
    const auto end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end);
}

}  // namespace

XSession::XSession(int width, int height)
{
    // Xvfb picks a free display and writes its number into the pipe.
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe");
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    xvfb_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        "Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp"});
    ::close(fds[1]);
    std::string number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (number.empty())
        throw std::runtime_error("Xvfb did not start");
    display_ = ":" + number;
    // openbox owns the WM_S0 selection once it manages the screen. On a busy
    // machine it has been seen to die or stall before it got there: a second
    // one is started before the session gives up.
    for (int attempt = 0; attempt < 2; ++attempt) {
        windowManager_ = std::make_unique<ChildProcess>(std::vector<std::string>{"openbox"},
                                                        std::map<std::string, std::string>{{"DISPLAY", display_}},
                                                        "/dev/null");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (std::chrono::steady_clock::now() < deadline && windowManager_->running()) {
            if (run("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") != std::string::npos)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        windowManager_.reset();
    }
    throw std::runtime_error("openbox did not start");
}

XSession::~XSession() = default;

std::string XSession::run(const std::string& command) const
{
    return runAndRead("DISPLAY=" + display_ + " " + command);
}

std::string XSession::waitForWindow(const std::string& title, int timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string id = firstLine(run("xdotool search --onlyvisible --name '" + title + "' 2>/dev/null"));
        if (!id.empty())
            return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

void XSession::screenshot(const std::string& path) const
{
    run("import -window root '" + path + "'");
}

WindowGeometry windowGeometry(const XSession& x, const std::string& window)
{
    WindowGeometry g;
    const std::string out = x.run("xdotool getwindowgeometry --shell " + window);
    std::sscanf(out.c_str(), "WINDOW=%*d\nX=%d\nY=%d\nWIDTH=%d\nHEIGHT=%d", &g.x, &g.y, &g.width, &g.height);
    return g;
}

}  // namespace velmora::test
