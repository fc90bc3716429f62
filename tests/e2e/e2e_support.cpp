#include "tests/e2e/e2e_support.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>

#include "app/form1.h"
#include "tests/support/failure_evidence.h"
#include "tests/support/test_files.h"
#include "tests/support/window_test_fixture.h"

namespace velmora::test {

std::uint16_t portOf(std::string_view host)
{
    const auto colon = host.rfind(':');
    std::uint16_t port = 80;
    if (colon != std::string_view::npos)
        std::from_chars(host.data() + colon + 1, host.data() + host.size(), port);
    return port;
}

std::function<void(const loopback::RecordedRequest&)> requestJournal(const std::string& name)
{
    struct Journal {
        std::mutex mutex;
        std::ofstream file;
    };
    auto journal = std::make_shared<Journal>();
    journal->file.open(evidenceFolder() / name, std::ios::app);
    return [journal](const loopback::RecordedRequest& request) {
        std::ostringstream entry;
        entry << evidenceTime() << "  " << request.method << " " << request.target << "\n";
        for (const auto& [field, value] : request.headers)
            entry << "    " << field << ": " << value << "\n";
        std::lock_guard lock(journal->mutex);
        journal->file << entry.str() << std::flush;
    };
}

DemoSite::DemoSite()
    : site({.port = portOf(kSiteHost),
            .root = VELMORA_DEMO_SITE_DIR,
            .onRequest = requestJournal("site-requests.log")}),
      quote({.port = portOf(kQuoteHost),
             .root = VELMORA_DEMO_QUOTE_DIR,
             .onRequest = requestJournal("quote-requests.log")})
{
}

std::unique_ptr<ChildProcess> startVelmora(const XSession& x, const std::string& logFile,
                                           const std::map<std::string, std::string>& extraEnvironment)
{
    std::map<std::string, std::string> env{
        {"DISPLAY", x.display()},
        {"QT_QPA_PLATFORM", "xcb"},
        {"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu"},
        {"NO_PROXY", "127.0.0.1,localhost"},
        {"no_proxy", "127.0.0.1,localhost"},
        // No session bus: where none runs, the engine would have one started
        // (dbus-launch, where installed), which writes into the program's
        // home and outlives it; and a desktop's own bus is no part of a test.
        {"DBUS_SESSION_BUS_ADDRESS", "disabled:"},
    };
    if (::geteuid() == 0)
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1";
    for (const auto& [name, value] : extraEnvironment)
        env[name] = value;
    return std::make_unique<ChildProcess>(std::vector<std::string>{VELMORA_EXECUTABLE}, env, logFile);
}

namespace {

// A point of a main window built with the same fonts and style on the
// offscreen platform: where the real one has it, relative to the window.
Point measureMainWindow(const std::function<QPoint(Form1&)>& measure)
{
    FakePlatform platform;
    RecordingFailureHandler failures;
    WindowRegistry windows(failures);
    const AppContext context{platform, windows, failures};
    Form1 form(context);
    form.show();
    const QPoint point = measure(form);
    return {point.x(), point.y()};
}

}  // namespace

Point menuItemCentre(std::string_view itemName)
{
    return measureMainWindow([itemName](Form1& form) {
        QMenuBar* bar = form.findChild<QMenuBar*>();
        return bar->mapTo(&form, bar->actionGeometry(form.menuItem(itemName)).center());
    });
}

Point contentPaneOrigin()
{
    return measureMainWindow([](Form1& form) { return form.WebBrowser1().widget()->mapTo(&form, QPoint(0, 0)); });
}

void click(const XSession& x, const std::string& window, Point at)
{
    // Raised first: another window of the program may cover the point.
    x.run("xdotool windowactivate --sync " + window + " mousemove --window " + window + " " + std::to_string(at.x) + " " +
          std::to_string(at.y) + " click 1");
}

bool hasAboveState(const XSession& x, const std::string& window)
{
    return x.run("xprop -id " + window + " _NET_WM_STATE").find("_NET_WM_STATE_ABOVE") != std::string::npos;
}

int visibleWindows(const XSession& x, const std::string& title)
{
    const std::string ids = x.run("xdotool search --onlyvisible --name '" + title + "' 2>/dev/null");
    return static_cast<int>(std::count(ids.begin(), ids.end(), '\n'));
}

bool windowGone(const XSession& x, const std::string& title)
{
    return waitUntil([&] { return visibleWindows(x, title) == 0; }, std::chrono::seconds(10));
}

std::string artifactPath(const std::string& name)
{
    return (evidenceFolder() / name).string();
}

}  // namespace velmora::test
