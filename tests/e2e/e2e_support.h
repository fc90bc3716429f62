#pragma once
// What the end-to-end tests share: the loopback demo site on the ports the
// program was built for, a private X display, and the real program on it.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include <QAction>
#include <QMenuBar>

#include "base/site.h"
#include "tests/support/child_process.h"
#include "tests/support/x_session.h"
#include "tools/loopback_server/loopback_server.h"

namespace velmora::test {

// The port of a "host:port" fixed into the program.
std::uint16_t portOf(std::string_view host);

// An onRequest for a loopback server: every request it receives, with its
// headers and time, goes into the file name among the test's evidence, which
// the test's own clearLog() leaves alone.
std::function<void(const loopback::RecordedRequest&)> requestJournal(const std::string& name);

struct DemoSite {
    DemoSite();
    loopback::LoopbackServer site;
    loopback::LoopbackServer quote;
};

// The real program, started on display with the browser engine set up for a
// machine without GPU (and, as root, without its sandbox).
// extraEnvironment is added to (and overrides) what the program gets.
std::unique_ptr<ChildProcess> startVelmora(const XSession& x, const std::string& logFile,
                                           const std::map<std::string, std::string>& extraEnvironment = {});

// Where a menu item of the main window sits, relative to the window, from a
// main window built with the same fonts and style on the offscreen platform.
struct Point {
    int x = 0, y = 0;
};
Point menuItemCentre(std::string_view itemName);
// Where the main window's content pane starts, relative to the window.
Point contentPaneOrigin();

// Raises window and clicks at a point given relative to it.
void click(const XSession& x, const std::string& window, Point at);

// Whether the window manager keeps window above all others.
bool hasAboveState(const XSession& x, const std::string& window);

// How many windows captioned with title are mapped now.
int visibleWindows(const XSession& x, const std::string& title);

// Waits up to 10 s for no window captioned with title to be mapped.
bool windowGone(const XSession& x, const std::string& title);

// A file of the running test's own folder of evidence, kept only if the
// test fails (see failure_evidence.h).
std::string artifactPath(const std::string& name);

}  // namespace velmora::test
