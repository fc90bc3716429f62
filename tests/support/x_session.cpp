#include "tests/support/x_session.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
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
    : witness_([this](const std::filesystem::path& path) { screenshot(path.string() + ".png"); })
{
    // The window manager has been seen to lose its connection while the
    // display was still young; a fresh display is the way back.
    for (int attempt = 1; attempt <= 3; ++attempt) {
        startDisplay(width, height);
        if (startWindowManager())
            return;
        windowManager_.reset();
        xvfb_.reset();
    }
    throw std::runtime_error("openbox did not start on three fresh displays; see " +
                             (evidenceFolder() / "openbox.log").string());
}

void XSession::startDisplay(int width, int height)
{
    // Xvfb picks a free display and writes its number into the pipe once it
    // takes clients. Without -noreset it would reset itself whenever its last
    // client leaves, and drop any client still introducing itself then: the
    // window manager, if an X tool polling for it had just left.
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe");
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    xvfb_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten",
                                 "tcp", "-noreset"},
        std::map<std::string, std::string>{}, (evidenceFolder() / "xvfb.log").string());
    ::close(fds[1]);
    std::string number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (number.empty())
        throw std::runtime_error("Xvfb did not start; see " + (evidenceFolder() / "xvfb.log").string());
    display_ = ":" + number;
}

bool XSession::startWindowManager()
{
    const std::filesystem::path log = evidenceFolder() / "openbox.log";
    std::ofstream(log, std::ios::app) << evidenceTime() << ": openbox on " << display_ << "\n";
    windowManager_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"openbox"}, std::map<std::string, std::string>{{"DISPLAY", display_}}, log.string());
    // openbox owns the WM_S0 selection once it manages the screen.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!windowManager_->running() || !xvfb_->running()) {
            std::ofstream(log, std::ios::app) << evidenceTime() << ": "
                                              << (xvfb_->running() ? "openbox" : "Xvfb") << " ended\n";
            return false;
        }
        if (run("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ofstream(log, std::ios::app) << evidenceTime() << ": openbox took no screen in 15 s\n";
    return false;
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
