// The real program under Xvfb with the real browser engine, against the demo
// site on loopback: what the panes ask the server for is the proof.
#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include <gtest/gtest.h>

#include "app/menu_table.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/test_files.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using loopback::ScriptedReply;

constexpr auto kPageTimeout = 60s;

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
    EXPECT_TRUE(waitUntil([&] { return hasAboveState(x, window); }, 5s));
    EXPECT_EQ(windowGeometry(x, window), before);
    click(x, window, menuItemCentre("ckzd"));
    EXPECT_TRUE(waitUntil([&] { return !hasAboveState(x, window); }, 5s));
    EXPECT_EQ(windowGeometry(x, window), before);
    EXPECT_TRUE(app->running());
}

// The pixels of the menu bar around an item's centre, as a signature.
std::string itemLook(const XSession& x, const std::string& window, std::string_view item)
{
    const Point centre = menuItemCentre(item);
    return x.run("import -window " + window + " -crop 24x10+" + std::to_string(centre.x - 12) + "+" +
                 std::to_string(centre.y - 5) + " +repage -format '%#' info:-");
}

TEST(MainWindowEndToEnd, TheMenuBarShowsWhereTheKeyboardAndTheMouseAre)
{
    DemoSite demo;
    demo.site.script("/update/velmora1.0.txt", ScriptedReply::response(200, ""));
    XSession x;
    auto app = startVelmora(x, artifactPath("menu-keyboard-e2e.log"));
    const std::string window = x.waitForWindow("VelmoraV1.0--", 60000);
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(demo.site.waitForRequest("/tiaozhuan/index1.html", kPageTimeout));
    const Point page = contentPaneOrigin();
    x.run("xdotool windowactivate --sync " + window + " mousemove --window " + window + " " +
          std::to_string(page.x + 600) + " " + std::to_string(page.y + 400));
    const std::vector<std::string> items = {"zhuy", "Add", "juc"};
    std::map<std::string, std::string> plain;
    for (const std::string& item : items)
        plain[item] = itemLook(x, window, item);

    const Point juc = menuItemCentre("juc");
    const struct {
        const char* what;
        std::string command;  // xdotool's
        const char* highlighted;  // null: none
    } steps[] = {
        {"Alt gives the bar the keyboard", "key --clearmodifiers alt", "zhuy"},
        {"Right", "key Right", "Add"},
        {"Left goes back", "key Left", "zhuy"},
        {"Escape leaves the bar", "key Escape", nullptr},
        {"the mouse over an item",
         "mousemove --window " + window + " " + std::to_string(juc.x) + " " + std::to_string(juc.y), "juc"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        x.run("xdotool " + step.command);
        const auto shownAsExpected = [&] {
            for (const std::string& item : items)
                if ((itemLook(x, window, item) != plain[item]) != (step.highlighted && item == step.highlighted))
                    return false;
            return true;
        };
        EXPECT_TRUE(waitUntil(shownAsExpected, 3s));
        if (step.highlighted && std::string(step.highlighted) == "Add")
            x.screenshot(artifactPath("menu-keyboard.png"));
    }
    EXPECT_TRUE(app->running());
}

// Loads one page through the main window and waits for its request: every
// request an earlier click caused has reached the server by then.
void settle(DemoSite& demo, const XSession& x, const std::string& window)
{
    demo.site.clearLog();
    click(x, window, menuItemCentre("zhuy"));
    ASSERT_TRUE(demo.site.waitForRequest("/tiaozhuan/index1.html", kPageTimeout));
}

int quotePageRequests(const DemoSite& demo)
{
    int n = 0;
    for (const auto& request : demo.quote.requests())
        n += request.target == "/main.html";
    return n;
}

TEST(MainWindowEndToEnd, QuoteItemOpensOneQuoteWindowOnItsOwnHost)
{
    DemoSite demo;
    demo.site.script("/update/velmora1.0.txt", ScriptedReply::response(200, ""));
    XSession x;
    auto app = startVelmora(x, artifactPath("quote-window-e2e.log"));
    const std::string window = x.waitForWindow("VelmoraV1.0--", 60000);
    ASSERT_FALSE(window.empty());

    click(x, window, menuItemCentre("gphq"));
    ASSERT_TRUE(demo.quote.waitForRequest("/main.html", kPageTimeout));
    const std::string quote = x.waitForWindow("股票行情--", 30000);
    ASSERT_FALSE(quote.empty());

    // Chosen again while open: brought forward, not loaded again.
    click(x, window, menuItemCentre("gphq"));
    settle(demo, x, window);
    EXPECT_EQ(quotePageRequests(demo), 1);
    EXPECT_EQ(visibleWindows(x, "股票行情--"), 1);
    x.screenshot(artifactPath("quote-window.png"));

    // Closed and chosen again: a new window that asks for the page again.
    x.run("xdotool windowactivate --sync " + quote + " key --clearmodifiers alt+F4");
    ASSERT_TRUE(waitUntil([&] { return visibleWindows(x, "股票行情--") == 0; }, 5s));
    click(x, window, menuItemCentre("gphq"));
    EXPECT_FALSE(x.waitForWindow("股票行情--", 30000).empty());
    // The new window's page and the main window's next one come by separate
    // ways: the first may reach the server after the second.
    EXPECT_TRUE(waitUntil([&] { return quotePageRequests(demo) == 2; }, 30s));
    settle(demo, x, window);
    EXPECT_EQ(quotePageRequests(demo), 2);
    EXPECT_TRUE(app->running());
}

}  // namespace
}  // namespace velmora::test
