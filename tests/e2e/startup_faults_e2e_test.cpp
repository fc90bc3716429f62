// The real program under Xvfb when the site lets it down at start: offline,
// or accepting the connection and never answering. Either way a window comes
// within seconds, the main window with the failure dialog in Chinese words.
#include <chrono>
#include <cstdio>
#include <thread>

#include <gtest/gtest.h>

#include "app/update_notice.h"
#include "tests/e2e/e2e_support.h"
#include "platform/http/http_rules.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using loopback::ScriptedReply;

constexpr int kWindowTimeoutMs = 30000;

// Launch to the main window being visible, as xdotool sees it.
std::chrono::milliseconds timeToMainWindow(const XSession& x, std::string& window)
{
    const auto started = std::chrono::steady_clock::now();
    window = x.waitForWindow("VelmoraV1.0--", kWindowTimeoutMs);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
}

TEST(StartupFaultsEndToEnd, OfflineTheMainWindowComesWithTheFailureInChinese)
{
    // Nothing listens on the site's port: every connection is refused.
    XSession x;
    auto app = startVelmora(x, artifactPath("offline-start-e2e.log"));
    std::string window;
    const auto took = timeToMainWindow(x, window);
    ASSERT_FALSE(window.empty());
    std::printf("offline start: main window after %lld ms\n", static_cast<long long>(took.count()));

    const std::string dialog = x.waitForWindow("Velmora 出错了", kWindowTimeoutMs);
    ASSERT_FALSE(dialog.empty()) << "the failed notice fetch is reported";
    std::this_thread::sleep_for(1s);  // lets both windows paint before the picture
    x.screenshot(artifactPath("offline-start.png"));
    // The details button, reached with Tab and pressed with Return, opens
    // the library's own text under the message.
    x.run("xdotool windowactivate --sync " + dialog + " key --clearmodifiers Tab key --clearmodifiers Return");
    std::this_thread::sleep_for(1s);
    x.screenshot(artifactPath("offline-start-dialog-details.png"));
    x.run("xdotool windowactivate --sync " + dialog + " key --clearmodifiers Escape");
    for (int i = 0; i < 50 && !x.run("xdotool search --onlyvisible --name 'Velmora 出错了' 2>/dev/null").empty(); ++i)
        std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(x.run("xdotool search --onlyvisible --name 'Velmora 出错了' 2>/dev/null").empty());
    EXPECT_FALSE(x.waitForWindow("VelmoraV1.0--", 1000).empty()) << "closing the dialog leaves the main window";
    EXPECT_TRUE(app->running());
}

TEST(StartupFaultsEndToEnd, ASilentSiteDelaysTheFirstWindowOnlyByTheNoticeLimits)
{
    DemoSite demo;
    demo.site.script(std::string(kNoticePath), ScriptedReply().pause(std::chrono::minutes(5)));
    XSession x;
    auto app = startVelmora(x, artifactPath("silent-site-e2e.log"));
    std::string window;
    const auto took = timeToMainWindow(x, window);
    ASSERT_FALSE(window.empty()) << "no window within " << kWindowTimeoutMs << " ms";
    std::printf("silent site: main window after %lld ms (notice limits: stall %lld ms, whole %lld ms)\n",
                static_cast<long long>(took.count()), static_cast<long long>(kNoticeLimits.stall.count()),
                static_cast<long long>(kNoticeLimits.total.count()));
    EXPECT_GE(took, kNoticeLimits.stall) << "the fetch is meant to wait before giving up";
    EXPECT_FALSE(x.waitForWindow("Velmora 出错了", kWindowTimeoutMs).empty());
    std::this_thread::sleep_for(1s);
    x.screenshot(artifactPath("silent-site.png"));
    EXPECT_TRUE(app->running());
}

}  // namespace
}  // namespace velmora::test
