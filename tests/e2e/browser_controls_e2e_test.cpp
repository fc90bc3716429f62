// The real program under Xvfb with a test page in the content pane and the
// keyboard focus in the page: the keys a browser user reaches for, zoom,
// find in page and printing. The page reports what it sees to the server,
// which also records every page the program asked for.
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"
#include "tests/platform/files/private_mounts.h"
#include "tests/support/test_files.h"
#include "tests/support/test_folder.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using loopback::ScriptedReply;

constexpr auto kPageTimeout = 60s;
constexpr auto kReportTimeout = 10s;
constexpr int kWindowTimeoutMs = 20000;
const std::string kStartPage = "/tiaozhuan/index1.html";
const std::string kPreviewTitle = "打印预览";
const std::string kFailureTitle = "Velmora 出错了";

// A mount namespace of the tests' own, entered before any thread starts, so
// that a test can give the program a disk that fills up.
const std::string kNoPrivateMounts = enterPrivateMountNamespace();

class BrowserControlsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(home_ / "Downloads");
        const std::string page = fileBytes(std::filesystem::path(VELMORA_BROWSER_SITE_DIR) / "controls.html").value();
        site_.script(kStartPage, ScriptedReply::response(200, page, {{"Content-Type", "text/html; charset=utf-8"}}));
        // Answered only when the test lets it: a page still on its way.
        site_.script("/slow.html",
                     ScriptedReply().hold().send(loopback::responseHead(200, {}) + "<p>slow</p>").close());
        app_ = startVelmora(x_, artifactPath("velmora.log"),
                            {{"HOME", home_.string()}, {"XDG_CONFIG_HOME", (home_ / ".config").string()}});
        ASSERT_TRUE(reported("shown-controls-zoom-100", kPageTimeout)) << "the test page did not load";
        window_ = x_.waitForWindow("VelmoraV1.0--", kWindowTimeoutMs);
        ASSERT_FALSE(window_.empty());
        focusPage();
    }

    // A click on the page's empty lower part puts the keyboard focus into it.
    void focusPage() { clickPane(600, 380); }

    void clickPane(int x, int y)
    {
        const Point origin = contentPaneOrigin();
        click(x_, window_, {origin.x + x, origin.y + y});
    }

    void keys(const std::string& sequence)
    {
        x_.run("xdotool windowactivate --sync " + window_ + " key --clearmodifiers " + sequence);
    }

    bool reported(const std::string& what, std::chrono::milliseconds timeout = kReportTimeout)
    {
        return site_.waitForRequest("/report?" + what, timeout).has_value();
    }

    // Opens the preview with Ctrl+P and prints from it through Qt's print
    // dialog, which offers the PDF file where there is no printer (its
    // title is matched whole: the preview's holds it too).
    void printToFile()
    {
        keys("ctrl+p");
        const std::string preview = x_.waitForWindow(kPreviewTitle, kWindowTimeoutMs);
        ASSERT_FALSE(preview.empty()) << "no print preview, or not in Chinese";
        std::this_thread::sleep_for(1s);
        screenshot("print-preview");
        // The print button ends the preview's tool bar, at its right.
        click(x_, preview, {windowGeometry(x_, preview).width - 20, 18});
        const std::string dialog = x_.waitForWindow("^打印$", kWindowTimeoutMs);
        ASSERT_FALSE(dialog.empty());
        screenshot("print-dialog");
        x_.run("xdotool windowactivate --sync " + dialog + " key --clearmodifiers Return");
    }

    void screenshot(const std::string& what) { x_.screenshot(artifactPath("controls-" + what + ".png")); }

    std::filesystem::path home_ = testPath("controls-home");
    loopback::LoopbackServer site_{{.port = portOf(kSiteHost),
                                    .root = VELMORA_BROWSER_SITE_DIR,
                                    .onRequest = requestJournal("site-requests.log")}};
    XSession x_;
    std::unique_ptr<ChildProcess> app_;
    std::string window_;
};

TEST_F(BrowserControlsEndToEnd, KeysReloadStopAndGoBackAndForthWithThePageFocused)
{
    const auto press = [this](const char* sequence) { return [this, sequence] { keys(sequence); }; };
    // Each row: what the user does, and the request the program must make
    // for it (a page, or the page's report of what it saw).
    const struct {
        const char* what;
        std::function<void()> does;
        std::string request;
        const char* cacheControl;  // of the page request; null: not checked
    } rows[] = {
        {"F5 reloads", press("F5"), kStartPage, "max-age=0"},
        {"Ctrl+R reloads", press("ctrl+r"), kStartPage, "max-age=0"},
        {"Ctrl+F5 reloads past the cache", press("ctrl+F5"), kStartPage, "no-cache"},
        {"Shift+F5 too", press("shift+F5"), kStartPage, "no-cache"},
        {"Escape is the page's own while nothing loads", press("Escape"), "/report?page-escape", nullptr},
        {"a page that takes long", [this] { clickPane(290, 50); }, "/slow.html", nullptr},
        // Stopped, the pane keeps the test page: F5 loads it again, where a
        // pane that went on would reload the slow page.
        {"Escape stops it",
         [this] {
             keys("Escape");
             std::this_thread::sleep_for(500ms);
             site_.releaseHeld();
             std::this_thread::sleep_for(1s);
             keys("F5");
         },
         kStartPage, nullptr},
        {"follow a link", [this] { clickPane(100, 50); }, "/report?shown-next", nullptr},
        {"Alt+Left goes back", press("alt+Left"), "/report?shown-controls-zoom-100", nullptr},
        {"Alt+Right goes forward", press("alt+Right"), "/report?shown-next", nullptr},
        {"and back again", press("alt+Left"), "/report?shown-controls-zoom-100", nullptr},
        // A window the page opens answers the same keys.
        {"F5 in a new window",
         [this] {
             clickPane(670, 50);
             const std::string popup = x_.waitForWindow("第二页", kWindowTimeoutMs);
             ASSERT_TRUE(reported("shown-next"));
             site_.clearLog();
             x_.run("xdotool windowactivate --sync " + popup + " key --clearmodifiers F5 alt+F4");
         },
         "/controls-next.html", nullptr},
        // Alt alone opens the menu bar, Right moves to 网络电视, Return
        // chooses it: the menu keeps its keys.
        {"the menu bar's keys", press("alt Right Return"), "/tiaozhuan/tv.html", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        site_.clearLog();
        row.does();
        const auto request = site_.waitForRequest(row.request, 20s);
        ASSERT_TRUE(request);
        if (row.cacheControl) {
            EXPECT_EQ(request->header("Cache-Control").value_or(""), row.cacheControl);
        }
        if (row.request == kStartPage) {
            ASSERT_TRUE(reported("shown-controls-zoom-100"));
        }
    }
}

TEST_F(BrowserControlsEndToEnd, ZoomStepsAndResetsAndHoldsForTheWindow)
{
    const Point origin = contentPaneOrigin();
    const std::string overPage = "mousemove --window " + window_ + " " + std::to_string(origin.x + 600) + " " +
                                 std::to_string(origin.y + 380);
    const auto wheel = [&](int button) {
        x_.run("xdotool windowactivate --sync " + window_ + " " + overPage + " keydown ctrl click " +
               std::to_string(button) + " keyup ctrl");
    };
    // Each row: what the user does, and the zoom the page then finds itself at.
    const struct {
        const char* what;
        std::function<void()> does;
        int zoom;
    } rows[] = {
        {"Ctrl+plus", [&] { keys("ctrl+plus"); }, 110},
        {"Ctrl+=", [&] { keys("ctrl+equal"); }, 125},
        {"the keypad's plus", [&] { keys("ctrl+KP_Add"); }, 150},
        // The engine's own wheel zoom would go to 160.
        {"Ctrl+wheel up", [&] { wheel(4); }, 175},
        {"Ctrl+wheel down", [&] { wheel(5); }, 150},
        {"Ctrl+minus", [&] { keys("ctrl+minus"); }, 125},
        {"Ctrl+0", [&] { keys("ctrl+0"); }, 100},
        {"Ctrl+minus below 100", [&] { keys("ctrl+minus"); }, 90},
        {"down the steps", [&] { keys("ctrl+minus ctrl+minus ctrl+minus ctrl+minus ctrl+minus"); }, 33},
        {"to the smallest", [&] { keys("ctrl+minus"); }, 25},
        {"which holds", [&] { keys("ctrl+minus"); }, 25},
        {"to the largest",
         [&] {
             // A step at a time, each seen, so that no report of the way up
             // comes after the row.
             keys("ctrl+0");
             for (const int level : {100, 110, 125, 150, 175, 200, 250, 300, 400}) {
                 ASSERT_TRUE(reported("zoom-" + std::to_string(level)));
                 keys("ctrl+plus");
             }
         },
         500},
        {"which holds too", [&] { keys("ctrl+plus"); }, 500},
        {"back to the default", [&] { keys("ctrl+0 ctrl+plus"); }, 110},
    };
    int zoom = 100;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        site_.clearLog();
        row.does();
        if (row.zoom != zoom) {
            EXPECT_TRUE(reported("zoom-" + std::to_string(row.zoom)));
            zoom = row.zoom;
            continue;
        }
        // Held: the page sees no change of zoom at all.
        std::this_thread::sleep_for(1s);
        for (const auto& request : site_.requests())
            EXPECT_FALSE(request.target.starts_with("/report?zoom-")) << request.target;
    }
    screenshot("zoom-box");
    // The window keeps its zoom for the pages it loads next.
    site_.clearLog();
    keys("F5");
    EXPECT_TRUE(reported("shown-controls-zoom-110"));
    clickPane(100, 240);  // a page of another site
    EXPECT_TRUE(reported("next-zoom-110"));
}

TEST_F(BrowserControlsEndToEnd, FindsAChineseWordCountsItsMatchesAndLeavesTheOneShownSelected)
{
    keys("ctrl+f");
    x_.run("xdotool type --delay 100 '星河'");
    keys("Return Return shift+Return");  // the second of five
    std::this_thread::sleep_for(1s);
    screenshot("find-bar");
    keys("Escape");
    EXPECT_TRUE(reported("selected-m2")) << "the match shown is not the one selected";

    // The focus is back in the page: its own keys reach it again.
    site_.clearLog();
    keys("Escape");
    EXPECT_TRUE(reported("page-escape"));

    // F3 opens the bar again on the same word and goes on to the next match.
    keys("F3 F3");
    // Escape ends the finding at once, requests still queued included.
    std::this_thread::sleep_for(1s);
    keys("Escape");
    EXPECT_TRUE(reported("selected-m4"));

    keys("ctrl+f ctrl+a");
    x_.run("xdotool type --delay 100 '月亮'");
    std::this_thread::sleep_for(500ms);
    screenshot("find-nothing");
}

TEST_F(BrowserControlsEndToEnd, PrintsThroughThePreviewToAPdfFile)
{
    printToFile();
    const auto pdf = home_ / "Downloads" / "浏览器按键测试页.pdf";
    EXPECT_TRUE(waitUntil([&] { return fileBytes(pdf).value_or("").starts_with("%PDF-"); }, 20s));
    EXPECT_TRUE(windowGone(x_, kPreviewTitle));
    // The engine's own PDF: the page's words are text in it, not a picture.
    EXPECT_NE(runAndRead("pdftotext '" + pdf.string() + "' - 2>&1").find("星河剧场明天重播"), std::string::npos)
        << "no text in the PDF";
    EXPECT_LT(std::filesystem::file_size(pdf), 400u * 1024) << "a picture of the page";
    EXPECT_TRUE(x_.waitForWindow(kFailureTitle, 500).empty()) << "a print that worked was reported as failed";

    // The page's own print button (window.print()) and the last item of its
    // menu open the same preview.
    clickPane(480, 50);
    std::string preview = x_.waitForWindow(kPreviewTitle, kWindowTimeoutMs);
    ASSERT_FALSE(preview.empty()) << "window.print() did nothing";
    EXPECT_TRUE(reported("beforeprint"));
    x_.run("xdotool windowactivate --sync " + preview + " key --clearmodifiers Escape");
    ASSERT_TRUE(windowGone(x_, kPreviewTitle));

    const Point origin = contentPaneOrigin();
    x_.run("xdotool windowactivate --sync " + window_ + " mousemove --window " + window_ + " " +
           std::to_string(origin.x + 600) + " " + std::to_string(origin.y + 380) + " click 3");
    std::this_thread::sleep_for(1s);
    screenshot("context-menu-print");
    x_.run("xdotool key --clearmodifiers Up Return");
    EXPECT_FALSE(x_.waitForWindow(kPreviewTitle, kWindowTimeoutMs).empty()) << "打印... is not the menu's last item";
}

TEST_F(BrowserControlsEndToEnd, APdfThatDoesNotFitOnTheDiskIsReportedInChinese)
{
    if (!kNoPrivateMounts.empty())
        GTEST_SKIP() << "this system lets the test mount no file system of its own: " << kNoPrivateMounts;
    // The page's PDF takes some 18 KB; the disk holds two pages of memory.
    const auto downloads = home_ / "Downloads";
    mountTmpfs(downloads, 8 * 1024);
    printToFile();
    const std::string failure = x_.waitForWindow(kFailureTitle, kWindowTimeoutMs);
    const bool cutOffFileLeft = std::filesystem::exists(downloads / "浏览器按键测试页.pdf");
    unmount(downloads);
    ASSERT_FALSE(failure.empty()) << "a cut-off file was taken for a printed page";
    EXPECT_FALSE(cutOffFileLeft);
    std::this_thread::sleep_for(500ms);
    screenshot("print-failed");
    const WindowGeometry box = windowGeometry(x_, failure);
    click(x_, failure, {box.width - 60, box.height - 25});
    std::this_thread::sleep_for(500ms);
    screenshot("print-failed-details");
}

// A page of many sheets keeps the engine rendering for a few seconds after
// the print dialog's OK. Closing the preview then (Escape, the window
// manager's close) waits for the engine to finish, and Ctrl+P meanwhile
// opens nothing; the preview goes once the file is written.
TEST_F(BrowserControlsEndToEnd, APreviewClosedWhileItRendersGoesOnceTheEngineIsDone)
{
    std::string page = "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>很长的页面</title>"
                       "<script>addEventListener('pageshow', () => fetch('/report?shown-long'));"
                       // Each render takes two seconds more, whatever the machine's speed.
                       "addEventListener('beforeprint', () => { fetch('/report?printing'); "
                       "for (const end = Date.now() + 2000; Date.now() < end;); });</script></head><body>";
    for (int i = 0; i < 150; ++i)
        page += "<p>第 " + std::to_string(i) + " 段：清晨的江南古镇，河面上飘着一层薄雾，石桥下的乌篷船慢慢划过。</p>";
    page += "</body></html>";
    site_.script(kStartPage, ScriptedReply::response(200, page, {{"Content-Type", "text/html; charset=utf-8"}}));
    keys("F5");
    ASSERT_TRUE(reported("shown-long", kPageTimeout));
    printToFile();
    const std::string preview = x_.waitForWindow(kPreviewTitle, 1000);
    ASSERT_FALSE(preview.empty()) << "printed before the test could close the preview";
    x_.run("xdotool key --window " + preview + " Escape");
    x_.run("xdotool windowactivate " + preview + " key --clearmodifiers Escape");
    keys("ctrl+p");
    screenshot("preview-closed-while-rendering");
    EXPECT_TRUE(waitUntil([&] { return visibleWindows(x_, kPreviewTitle) == 0; }, 60s));
    EXPECT_TRUE(app_->running());
    const auto pdf = home_ / "Downloads" / "很长的页面.pdf";
    EXPECT_TRUE(waitUntil([&] { return fileBytes(pdf).value_or("").starts_with("%PDF-"); }, 20s));
    EXPECT_TRUE(x_.waitForWindow(kPreviewTitle, 2000).empty()) << "Ctrl+P during the render opened a preview";
    EXPECT_TRUE(x_.waitForWindow(kFailureTitle, 500).empty());
    EXPECT_TRUE(app_->running());
}

TEST_F(BrowserControlsEndToEnd, AWindowThatClosesItselfWhilePrintingTakesItsPreviewAlong)
{
    // The page closes its window once this answers 200, while the preview
    // is still up.
    site_.script("/may-close", ScriptedReply::response(404, ""));
    clickPane(290, 240);
    ASSERT_TRUE(site_.waitForRequest("/print-and-close.html", kPageTimeout));
    ASSERT_TRUE(reported("beforeprint", kPageTimeout)) << "the page did not print";
    ASSERT_FALSE(x_.waitForWindow(kPreviewTitle, kWindowTimeoutMs).empty()) << "no preview";
    site_.script("/may-close", ScriptedReply::response(200, ""));
    EXPECT_TRUE(windowGone(x_, "打印后关闭"));
    EXPECT_TRUE(windowGone(x_, kPreviewTitle));
    EXPECT_TRUE(app_->running());
}

}  // namespace
}  // namespace velmora::test
