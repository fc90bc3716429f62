// The real program under Xvfb with the real browser engine, against the demo
// site on loopback: what the panes ask the server for is the proof.
#include <chrono>

#include <gtest/gtest.h>

#include "app/menu_table.h"
#include "e2e_support.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using loopback::ScriptedReply;

constexpr auto kPageTimeout = 60s;

bool hasAboveState(const XSession& x, const std::string& window)
{
    return x.run("xprop -id " + window + " _NET_WM_STATE").find("_NET_WM_STATE_ABOVE") != std::string::npos;
}

TEST(MainWindowEndToEnd, PanesLoadTheSiteAndEveryMenuItemLoadsItsPage)
{
    DemoSite demo;
    // No update today: the main window comes up without a question.
    demo.site.script("/update/velmora1.0.txt", ScriptedReply::response(200, ""));
    XSession x;
    auto app = startVelmora(x, artifactPath("main-window-e2e.log"));

    ASSERT_TRUE(demo.site.waitForRequest("/tiaozhuan/index1.html", kPageTimeout)) << "content pane";
    ASSERT_TRUE(demo.site.waitForRequest("/gg/01.html", kPageTimeout)) << "banner pane";
    const std::string window = x.waitForWindow("VelmoraV1.0--", 30000);
    ASSERT_FALSE(window.empty());

    for (const MenuItem& item : kMenuItems) {
        if (item.action != MenuAction::Navigate || item.path == kStartPagePath)
            continue;
        SCOPED_TRACE(std::string(item.name));
        click(x, window, menuItemCentre(item.name));
        EXPECT_TRUE(demo.site.waitForRequest(std::string(item.path), kPageTimeout));
    }
    demo.site.clearLog();
    click(x, window, menuItemCentre("zhuy"));
    EXPECT_TRUE(demo.site.waitForRequest("/tiaozhuan/index1.html", kPageTimeout));
    x.screenshot(artifactPath("main-window.png"));

    // Pinning: the window manager holds the state; the window stays put.
    const WindowGeometry before = windowGeometry(x, window);
    click(x, window, menuItemCentre("ckzd"));
    for (int i = 0; i < 50 && !hasAboveState(x, window); ++i)
        std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(hasAboveState(x, window));
    EXPECT_EQ(windowGeometry(x, window), before);
    click(x, window, menuItemCentre("ckzd"));
    for (int i = 0; i < 50 && hasAboveState(x, window); ++i)
        std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(hasAboveState(x, window));
    EXPECT_EQ(windowGeometry(x, window), before);
    EXPECT_TRUE(app->running());
}

}  // namespace
}  // namespace velmora::testing
