// The real program under Xvfb against a test page of its own that asks of
// the content pane what ordinary pages ask of a browser: new windows, full
// screen, the microphone, alert boxes, downloads and sign-in. The page
// reports each outcome back to the server, which is where the test reads it.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"
#include "tests/support/test_files.h"
#include "tests/support/test_folder.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using loopback::ScriptedReply;

constexpr auto kPageTimeout = 60s;
constexpr auto kReportTimeout = 20s;
constexpr int kWindowTimeoutMs = 20000;
const std::string kPopupTitle = "弹出窗口测试";

std::string fileText(const std::filesystem::path& path)
{
    return fileBytes(path).value_or("");
}

// Two different bodies of 200 KiB: the server's pattern from two offsets.
std::string attachmentBody(std::uint64_t which)
{
    return patternBytes(which * 7, 200 * 1024);
}

ScriptedReply attachment(const std::string& body)
{
    return ScriptedReply::response(200, body,
                                   {{"Content-Type", "application/octet-stream"},
                                    {"Content-Disposition", "attachment; filename=\"report.bin\""}});
}

class BrowserPaneEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(downloads_);
        site_.script("/files/report.bin", attachment(attachmentBody(0)));
        // The camera and microphone of a machine without them: Chromium's
        // fake devices, here only; the program itself never asks for them.
        app_ = startVelmora(x_, artifactPath("velmora.log"),
                            {{"HOME", home_.string()},
                             {"XDG_CONFIG_HOME", (home_ / ".config").string()},
                             {"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --use-fake-device-for-media-stream"}});
        ASSERT_TRUE(site_.waitForRequest("/report?language-zh-CN", kPageTimeout)) << "the test page did not load";
        window_ = x_.waitForWindow("VelmoraV1.0--", kWindowTimeoutMs);
        ASSERT_FALSE(window_.empty());
        // A click before the page has painted its controls may find none.
        ASSERT_TRUE(site_.waitForRequest("/report?ready", kPageTimeout)) << "the test page never painted";
    }

    // Clicks the test page's control in grid cell (row, column).
    void clickCell(int row, int column)
    {
        const Point origin = contentPaneOrigin();
        click(x_, window_, {origin.x + 100 + 190 * column, origin.y + 40 + 70 * row});
    }

    std::string waitForWindow(const std::string& title) { return x_.waitForWindow(title, kWindowTimeoutMs); }

    // The windows captioned with title that are mapped now.
    std::vector<std::string> shownWindows(const std::string& title)
    {
        std::vector<std::string> ids;
        std::istringstream found(x_.run("xdotool search --onlyvisible --name '" + title + "'"));
        for (std::string id; found >> id;)
            ids.push_back(id);
        return ids;
    }

    // A window captioned with title other than previous, once there is one.
    std::string nextWindow(const std::string& title, const std::string& previous)
    {
        std::string next;
        waitUntil(
            [&] {
                for (const std::string& id : shownWindows(title))
                    if (id != previous)
                        next = id;
                return !next.empty();
            },
            std::chrono::milliseconds(kWindowTimeoutMs));
        return next;
    }

    void keys(const std::string& window, const std::string& sequence)
    {
        x_.run("xdotool windowactivate --sync " + window + " key --clearmodifiers " + sequence);
    }

    bool reported(const std::string& what, std::chrono::milliseconds timeout = kReportTimeout)
    {
        return site_.waitForRequest("/report?" + what, timeout).has_value();
    }

    void screenshot(const std::string& what) { x_.screenshot(artifactPath("browser-" + what + ".png")); }

    // Where a window's inside is on the screen, as xwininfo tells it.
    WindowGeometry onScreen(const std::string& window)
    {
        WindowGeometry g;
        std::istringstream info(x_.run("xwininfo -id " + window));
        for (std::string line; std::getline(info, line);) {
            const auto value = [&line] { return std::stoi(line.substr(line.find(':') + 1)); };
            if (line.find("Absolute upper-left X:") != std::string::npos)
                g.x = value();
            else if (line.find("Absolute upper-left Y:") != std::string::npos)
                g.y = value();
            else if (line.find("  Width:") != std::string::npos)
                g.width = value();
            else if (line.find("  Height:") != std::string::npos)
                g.height = value();
        }
        return g;
    }

    std::filesystem::path home_ = testPath("browser-home");
    std::filesystem::path downloads_ = home_ / "Downloads";
    loopback::LoopbackServer site_{{.port = portOf(kSiteHost),
                                    .root = VELMORA_BROWSER_SITE_DIR,
                                    .onRequest = requestJournal("site-requests.log")}};
    XSession x_;
    std::unique_ptr<ChildProcess> app_;
    std::string window_;
};

TEST_F(BrowserPaneEndToEnd, PagesAreToldChineseAndUnaskedPopUpsStayBlocked)
{
    const auto page = site_.waitForRequest("/tiaozhuan/index1.html", kPageTimeout);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->header("Accept-Language").value_or(""), "zh-CN,zh;q=0.9");
    EXPECT_TRUE(reported("unasked-popup-blocked"));
    EXPECT_FALSE(site_.waitForRequest("/blocked.html", 1s));
}

TEST_F(BrowserPaneEndToEnd, NewWindowsShowThePageAtTheSizeAskedAndCloseWhenThePageSays)
{
    clickCell(0, 0);  // target="_blank"
    ASSERT_TRUE(site_.waitForRequest("/popup.html", kPageTimeout));
    std::string popup = waitForWindow(kPopupTitle);
    ASSERT_FALSE(popup.empty()) << "no window captioned with the page's title";
    EXPECT_EQ(windowGeometry(x_, popup).width, 776);
    screenshot("new-window");
    click(x_, popup, {100, 100});  // the page calls window.close()
    EXPECT_TRUE(windowGone(x_, kPopupTitle));

    clickCell(0, 1);  // window.open with width=400,height=300
    ASSERT_TRUE(site_.waitForRequest("/popup.html?sized", kPageTimeout));
    popup = waitForWindow(kPopupTitle);
    ASSERT_FALSE(popup.empty());
    const WindowGeometry sized = windowGeometry(x_, popup);
    EXPECT_EQ(sized.width, 400);
    EXPECT_EQ(sized.height, 300);
    click(x_, popup, {100, 100});
    EXPECT_TRUE(windowGone(x_, kPopupTitle));
    EXPECT_TRUE(app_->running());

    // A page's window keeps the program running after the main window has
    // closed, and the program ends with it, as with any last window.
    clickCell(0, 0);
    popup = waitForWindow(kPopupTitle);
    ASSERT_FALSE(popup.empty());
    x_.run("xdotool windowactivate --sync " + window_ + " key --clearmodifiers alt+F4");
    EXPECT_TRUE(windowGone(x_, "VelmoraV1.0--"));
    EXPECT_TRUE(app_->running());
    click(x_, popup, {100, 100});
    EXPECT_EQ(app_->waitForExit(15000), 0);
}

TEST_F(BrowserPaneEndToEnd, FullScreenCoversTheScreenAndEscapePutsEverythingBack)
{
    // Pinned first: leaving full screen must not lose the pin.
    click(x_, window_, menuItemCentre("ckzd"));
    ASSERT_TRUE(waitUntil([&] { return hasAboveState(x_, window_); }, 5s));
    const WindowGeometry before = windowGeometry(x_, window_);
    clickCell(0, 2);
    ASSERT_TRUE(reported("fullscreen-on"));
    // A hint at the top centre says how to leave, for a few seconds, and
    // leaves the keyboard with the page.
    const std::string hint = "按 Esc 键可退出全屏";
    ASSERT_FALSE(waitForWindow(hint).empty()) << "no word on how to leave";
    const WindowGeometry hintAt = onScreen(shownWindows(hint).front());
    EXPECT_NEAR(hintAt.x + hintAt.width / 2, 640, 2);
    EXPECT_LT(hintAt.y, 100);
    const std::string active = x_.run("xdotool getactivewindow");
    const WindowGeometry full = windowGeometry(x_, active.substr(0, active.find('\n')));
    EXPECT_EQ(full.width, 1280);
    EXPECT_EQ(full.height, 1024);
    screenshot("full-screen");
    EXPECT_TRUE(windowGone(x_, hint));

    x_.run("xdotool key Escape");
    ASSERT_TRUE(reported("fullscreen-off"));
    EXPECT_EQ(windowGeometry(x_, window_), before);
    EXPECT_TRUE(hasAboveState(x_, window_));
    EXPECT_FALSE(x_.waitForWindow("VelmoraV1.0--", 1000).empty());

    // The page is back in the main window's pane and still answers there;
    // each other way out of full screen puts it back as Escape does.
    // Printing leaves full screen and shows the preview over the main window.
    const struct {
        const char* key;
        bool prints;
    } waysOut[] = {
        {"alt+F4", false},  // the window manager closing the full-screen window
        {"F11", false},     // a browser's own full-screen key
        {"p", true},        // the page's window.print()
        {"ctrl+p", true},
    };
    for (const auto& way : waysOut) {
        SCOPED_TRACE(way.key);
        site_.clearLog();
        clickCell(0, 2);
        ASSERT_TRUE(reported("fullscreen-on"));
        x_.run(std::string("xdotool key --clearmodifiers ") + way.key);
        ASSERT_TRUE(reported("fullscreen-off")) << "the page stayed in a hidden window";
        if (!way.prints)
            continue;
        const std::string preview = x_.waitForWindow("打印预览", kWindowTimeoutMs);
        ASSERT_FALSE(preview.empty()) << "printing in full screen did nothing";
        EXPECT_TRUE(reported("beforeprint"));
        if (std::string(way.key) == "p")
            screenshot("full-screen-print");
        keys(preview, "Escape");
        EXPECT_TRUE(windowGone(x_, "打印预览"));
    }
}

TEST_F(BrowserPaneEndToEnd, MicrophoneIsAskedForOnceAndTheAnswerHoldsForTheRun)
{
    clickCell(1, 0);
    const std::string question = waitForWindow("权限请求");
    ASSERT_FALSE(question.empty()) << "nobody was asked";
    screenshot("permission-question");
    keys(question, "alt+a");
    ASSERT_TRUE(reported("microphone-granted"));

    site_.clearLog();
    clickCell(1, 0);
    EXPECT_TRUE(reported("microphone-granted"));
    EXPECT_TRUE(x_.waitForWindow("权限请求", 500).empty()) << "asked a second time";
}

// The television page's channel starts by itself, with its sound, and the
// engine plays the H.264/AAC clip the demo site's page shows.
TEST_F(BrowserPaneEndToEnd, AChannelStartsByItselfWithItsSound)
{
    site_.script("/media/channel.mp4",
                 ScriptedReply::response(200, fileText(VELMORA_DEMO_CLIP), {{"Content-Type", "video/mp4"}}));
    click(x_, window_, menuItemCentre("Add"));  // 网络电视, loaded without a gesture in the page
    EXPECT_TRUE(reported("h264-probably"));
    EXPECT_TRUE(reported("channel-playing-muted-false")) << "refused, or muted";
    EXPECT_TRUE(reported("channel-moving"));
    screenshot("channel");
}

// A page's boxes are modal to the page only: the window's menu and close
// stay the user's, and from its second box on the page can be told to stop.
TEST_F(BrowserPaneEndToEnd, PageBoxesAreChineseNameTheSiteAndNeverShutTheUserIn)
{
    const std::string title = "来自 127.0.0.1 的消息";
    const auto answer = [this](const char* sequence) {
        return [this, sequence](const std::string& box) { keys(box, sequence); };
    };
    // Each row: the cell whose box comes up, what the user does then, and
    // what the page reports once it goes on.
    const struct {
        const char* what;
        int row, column;
        std::function<void(const std::string& box)> does;
        std::string report;
    } rows[] = {
        {"alert", 1, 1, answer("Return"), "alert-closed"},
        {"confirm, declined", 1, 2, answer("Escape"), "confirm-false"},
        {"prompt, its default answer taken", 1, 3, answer("Return"), "prompt-%E5%B0%8F%E6%98%8E"},  // 小明
        {"alerts in a loop, left through the menu", 5, 0,
         [this](const std::string&) { click(x_, window_, menuItemCentre("zhuy")); }, "ready"},
        {"alerts in a loop, stopped from the second on", 5, 0,
         [&](const std::string& box) {
             keys(box, "Return");
             const std::string second = nextWindow(title, box);
             ASSERT_FALSE(second.empty()) << "no second box";
             keys(second, "shift+Tab space");  // the check box, before the button
             screenshot("alert-stop-box");
             keys(second, "Return");
         },
         "alerts-done"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        site_.clearLog();
        clickCell(row.row, row.column);
        const std::string box = waitForWindow(title);
        ASSERT_FALSE(box.empty());
        if (row.report == "alert-closed")
            screenshot("alert");
        row.does(box);
        EXPECT_TRUE(reported(row.report));
        EXPECT_TRUE(x_.waitForWindow(title, 500).empty()) << "the page's boxes went on";
    }
    // Alt+F4 closes the window under the page's box, and the box goes with
    // it; the program goes on with a window the page opened. The page
    // stopped above is loaded again first.
    site_.clearLog();
    click(x_, window_, menuItemCentre("zhuy"));
    ASSERT_TRUE(reported("ready"));
    clickCell(0, 0);
    const std::string popup = waitForWindow(kPopupTitle);
    ASSERT_FALSE(popup.empty());
    clickCell(5, 0);
    ASSERT_FALSE(waitForWindow(title).empty());
    keys(window_, "alt+F4");
    EXPECT_TRUE(windowGone(x_, "VelmoraV1.0--"));
    EXPECT_TRUE(windowGone(x_, title)) << "the box outlived its window";
    EXPECT_TRUE(app_->running());
}

TEST_F(BrowserPaneEndToEnd, DownloadsAskWhereAndNeverOverwriteUnasked)
{
    const std::string first = attachmentBody(0);
    clickCell(0, 3);
    std::string dialog = waitForWindow("保存文件");
    ASSERT_FALSE(dialog.empty()) << "no save dialog";
    screenshot("save-dialog");
    keys(dialog, "Return");  // the suggested name in the download folder
    ASSERT_FALSE(waitForWindow("下载").empty());
    const auto saved = downloads_ / "report.bin";
    waitUntil([&] { return fileText(saved) == first; }, 10s);
    EXPECT_EQ(fileText(saved), first);
    screenshot("download-done");

    // Again, with other bytes. The dialog suggests a name of its own beside
    // the file already there; typed over with that file's name, it asks
    // before replacing it, and declining, then cancelling, leaves the first.
    site_.script("/files/report.bin", attachment(attachmentBody(1)));
    clickCell(0, 3);
    dialog = waitForWindow("保存文件");
    ASSERT_FALSE(dialog.empty());
    keys(dialog, "ctrl+a");
    x_.run("xdotool windowactivate --sync " + dialog + " type --delay 30 report.bin");
    keys(dialog, "Return");
    std::this_thread::sleep_for(1s);
    screenshot("overwrite-question");
    x_.run("xdotool key --clearmodifiers Escape");  // not replaced
    std::this_thread::sleep_for(500ms);
    x_.run("xdotool key --clearmodifiers Escape");  // the dialog cancelled
    EXPECT_TRUE(windowGone(x_, "保存文件"));
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(fileText(saved), first);

    clickCell(2, 1);  // a link with a download attribute
    dialog = waitForWindow("保存文件");
    ASSERT_FALSE(dialog.empty());
    keys(dialog, "Return");
    const auto notes = downloads_ / "笔记.txt";
    const std::string expected = fileText(std::filesystem::path(VELMORA_BROWSER_SITE_DIR) / "files/notes.txt");
    waitUntil([&] { return fileText(notes) == expected; }, 10s);
    EXPECT_EQ(fileText(notes), expected);

    // One click, two downloads: the first asks where, the second, the
    // page's own doing, asks whether the page may; 禁止 leaves nothing.
    site_.script("/files/second.bin",
                 ScriptedReply().hold().send(loopback::responseHead(200, {{"Content-Type", "application/octet-stream"}})
                                             + "second").close());
    clickCell(5, 1);
    dialog = waitForWindow("保存文件");
    ASSERT_FALSE(dialog.empty());
    keys(dialog, "Escape");
    site_.releaseHeld();
    const std::string question = waitForWindow("权限请求");
    ASSERT_FALSE(question.empty()) << "the page's second download was not asked about";
    screenshot("downloads-question");
    keys(question, "Escape");  // 禁止
    EXPECT_TRUE(windowGone(x_, "权限请求"));
    EXPECT_TRUE(x_.waitForWindow("保存文件", 1000).empty()) << "refused, and still asked where";

    // Nothing else was left in the folder: no half file, no copy.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(downloads_))
        ++files;
    EXPECT_EQ(files, 2);
    // And nothing of the run beside what the user saved: no dialog history,
    // no cache.
    app_->terminate();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home_))
        EXPECT_TRUE(entry.is_directory() || entry.path().parent_path() == downloads_) << entry.path();
}

TEST_F(BrowserPaneEndToEnd, ReturnInTheDownloadsWindowClicksItsFocusedCancel)
{
    // Half the body, then the server holds the rest until released.
    const std::string body = attachmentBody(0);
    site_.script("/files/report.bin",
                 ScriptedReply()
                     .send(loopback::responseHead(200, {{"Content-Type", "application/octet-stream"},
                                                        {"Content-Disposition", "attachment; filename=\"report.bin\""},
                                                        {"Content-Length", std::to_string(body.size())}}))
                     .send(body.substr(0, body.size() / 2))
                     .hold()
                     .send(body.substr(body.size() / 2)));
    clickCell(0, 3);
    const std::string dialog = waitForWindow("保存文件");
    ASSERT_FALSE(dialog.empty());
    keys(dialog, "Return");
    const std::string downloads = waitForWindow("下载");
    ASSERT_FALSE(downloads.empty());
    keys(downloads, "Return");  // 取消 has the focus
    std::this_thread::sleep_for(1s);
    screenshot("download-cancelled-by-return");
    site_.releaseHeld();
    std::this_thread::sleep_for(2s);
    EXPECT_FALSE(std::filesystem::exists(downloads_ / "report.bin")) << "Return did not cancel";
}

TEST_F(BrowserPaneEndToEnd, SignInIsAskedInChineseAndSent)
{
    site_.script("/secret/", ScriptedReply::response(401, "<p>401</p>",
                                                     {{"WWW-Authenticate", "Basic realm=\"members\""},
                                                      {"Content-Type", "text/html"}}));
    clickCell(2, 0);
    ASSERT_TRUE(site_.waitForRequest("/secret/", kPageTimeout)) << "the click did not reach the page";
    const std::string dialog = waitForWindow("需要登录");
    ASSERT_FALSE(dialog.empty());
    x_.run("xdotool windowactivate --sync " + dialog + " type --delay 50 zhang");
    keys(dialog, "Tab");
    x_.run("xdotool windowactivate --sync " + dialog + " type --delay 50 mima");
    screenshot("sign-in");
    keys(dialog, "Return");

    EXPECT_TRUE(waitUntil(
        [&] {
            for (const auto& request : site_.requests())
                if (request.header("Authorization") == "Basic emhhbmc6bWltYQ==")  // zhang:mima
                    return true;
            return false;
        },
        10s));
    // The server still refuses: the dialog comes again, and declining it
    // leaves the page showing the server's answer.
    const std::string again = waitForWindow("需要登录");
    ASSERT_FALSE(again.empty());
    keys(again, "Escape");
    EXPECT_TRUE(windowGone(x_, "需要登录"));
    EXPECT_TRUE(app_->running());
}

TEST_F(BrowserPaneEndToEnd, ACertificateThatDoesNotHoldIsRefusedAndExplained)
{
    // A TLS server on loopback with a certificate nobody signed.
    const std::filesystem::path tls = testPath("browser-tls");
    std::filesystem::create_directories(tls);
    const std::string key = (tls / "key.pem").string(), cert = (tls / "cert.pem").string();
    runAndRead("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -keyout '" + key +
               "' -out '" + cert + "' 2>/dev/null");
    ASSERT_TRUE(std::filesystem::exists(cert));
    ChildProcess server({"openssl", "s_server", "-quiet", "-www", "-accept", "8743", "-key", key, "-cert", cert}, {},
                        artifactPath("browser-tls-server.log"));
    std::this_thread::sleep_for(500ms);

    clickCell(2, 2);
    const std::string warning = waitForWindow("安全警告");
    ASSERT_FALSE(warning.empty()) << "refused without a word, or accepted";
    screenshot("certificate-refused");
    keys(warning, "Return");
    EXPECT_TRUE(windowGone(x_, "安全警告"));
    EXPECT_TRUE(app_->running());
}

TEST_F(BrowserPaneEndToEnd, ContextMenuShowsTheSourceAndSavesThePage)
{
    // Below the test page's controls the page is empty: a right click there
    // brings the page's own menu, whose last items are 保存页面,
    // 查看页面源代码 and 打印....
    const Point origin = contentPaneOrigin();
    const std::string at = std::to_string(origin.x + 600) + " " + std::to_string(origin.y + 440);
    x_.run("xdotool windowactivate --sync " + window_ + " mousemove --window " + window_ + " " + at + " click 3");
    std::this_thread::sleep_for(1s);
    screenshot("context-menu");
    x_.run("xdotool key --clearmodifiers Up Up Return");
    EXPECT_FALSE(waitForWindow("view-source:").empty()) << "查看页面源代码 did nothing";

    x_.run("xdotool windowactivate --sync " + window_ + " mousemove --window " + window_ + " " + at + " click 3");
    std::this_thread::sleep_for(1s);
    x_.run("xdotool key --clearmodifiers Up Up Up Return");
    const std::string dialog = waitForWindow("保存文件");
    ASSERT_FALSE(dialog.empty()) << "保存页面 did nothing";
    keys(dialog, "Escape");
    EXPECT_TRUE(windowGone(x_, "保存文件"));

    // A site that cannot be reached: the engine's own page, in Chinese (the
    // screenshot shows it).
    clickCell(2, 3);
    std::this_thread::sleep_for(3s);
    screenshot("unreachable-site");
    EXPECT_TRUE(app_->running());
}

TEST_F(BrowserPaneEndToEnd, LeavingAGuardedPageAsksFirst)
{
    clickCell(3, 0);
    ASSERT_TRUE(reported("leaving-guarded"));
    site_.clearLog();
    click(x_, window_, menuItemCentre("zhuy"));
    std::string box = waitForWindow("来自 127.0.0.1 的消息");
    ASSERT_FALSE(box.empty()) << "left without asking";
    screenshot("leave-page");
    keys(box, "Escape");  // stay
    EXPECT_FALSE(site_.waitForRequest("/tiaozhuan/index1.html", 2s));

    click(x_, window_, menuItemCentre("zhuy"));
    box = waitForWindow("来自 127.0.0.1 的消息");
    ASSERT_FALSE(box.empty());
    keys(box, "Return");  // leave
    EXPECT_TRUE(site_.waitForRequest("/tiaozhuan/index1.html", kPageTimeout));
}

TEST_F(BrowserPaneEndToEnd, NotificationsAreAskedForThenShownWithoutTakingTheKeyboard)
{
    clickCell(3, 1);
    const std::string question = waitForWindow("权限请求");
    ASSERT_FALSE(question.empty());
    keys(question, "alt+a");
    ASSERT_TRUE(reported("notifications-granted"));
    const std::string title = "来自 127.0.0.1 的通知";
    ASSERT_TRUE(waitUntil([&] { return visibleWindows(x_, title) == 2; }, 10s)) << "not both shown";
    screenshot("notifications");
    EXPECT_EQ(x_.run("xdotool getactivewindow"), window_ + "\n") << "a box took the keyboard";

    // In the screen's bottom right corner, the newer above the older, clear
    // of the page's window.
    std::vector<WindowGeometry> boxes;
    const std::vector<std::string> ids = shownWindows(title);
    for (const std::string& id : ids)
        boxes.push_back(onScreen(id));
    ASSERT_EQ(boxes.size(), 2u);
    const WindowGeometry main = onScreen(window_);
    for (const WindowGeometry& box : boxes) {
        EXPECT_GT(box.x + box.width, 1280 - 40);
        EXPECT_LE(box.x + box.width, 1280);
        EXPECT_LE(box.y + box.height, 1024);
        EXPECT_TRUE(box.x >= main.x + main.width || box.y >= main.y + main.height) << "covers the page's window";
    }
    const bool firstIsUpper = boxes[0].y < boxes[1].y;
    const WindowGeometry& upper = boxes[firstIsUpper ? 0 : 1];
    const WindowGeometry& lower = boxes[firstIsUpper ? 1 : 0];
    EXPECT_LE(upper.y + upper.height, lower.y) << "stacked on the same spot";

    // A click on the newer one runs its page's onclick and takes it away.
    x_.run("xdotool mousemove --window " + ids[firstIsUpper ? 0 : 1] + " 30 20 click 1");
    EXPECT_TRUE(reported("notification-clicked-live"));
    EXPECT_TRUE(waitUntil([&] { return visibleWindows(x_, title) <= 1; }, 2s));

    // A notification and then its update under the same tag: the update
    // takes the first one's box; beside the older box, two in all.
    clickCell(5, 2);
    ASSERT_TRUE(reported("schedule-shown"));
    ASSERT_TRUE(waitUntil([&] { return visibleWindows(x_, title) == 2; }, 5s));
    const std::string schedule = nextWindow(title, ids[firstIsUpper ? 1 : 0]);
    clickCell(5, 2);
    ASSERT_TRUE(reported("schedule-updated"));
    EXPECT_TRUE(waitUntil(
        [&] {
            const std::vector<std::string> shown = shownWindows(title);
            return shown.size() == 2 && std::find(shown.begin(), shown.end(), schedule) == shown.end();
        },
        5s))
        << "the update came in a box of its own";
    // Four more: three boxes at most, the oldest going first.
    clickCell(5, 2);
    EXPECT_TRUE(reported("closed-1", 5s)) << "more than three shown";  // before the boxes go by themselves
    EXPECT_TRUE(waitUntil([&] { return visibleWindows(x_, title) == 3; }, 5s));
    screenshot("notifications-at-most-three");
    // Each goes by itself.
    EXPECT_TRUE(waitUntil([&] { return visibleWindows(x_, title) == 0; }, 12s)) << "still shown";
    EXPECT_FALSE(site_.waitForRequest("/report?notification-clicked-shows", 1s));
}

TEST_F(BrowserPaneEndToEnd, CopyButtonsWriteTheClipboardAndReadingItStaysRefused)
{
    const auto clipboard = [this] { return x_.run("xclip -o -selection clipboard 2>/dev/null"); };
    // xclip stays behind to serve what it put there: its output goes nowhere.
    x_.run("sh -c 'printf before | xclip -i -selection clipboard' >/dev/null 2>&1");
    ASSERT_EQ(clipboard(), "before");
    const struct {
        const char* how;
        int row, column;  // the button clicked; none for a row of -1
        std::string report;
        std::string copied;
    } buttons[] = {
        // The hidden banner copies as it loads, with nobody's click.
        {"the banner, never touched", -1, -1, "banner-copy-refused", "before"},
        {"navigator.clipboard.writeText", 3, 3, "copied-writeText", "节目单：江南古镇 第三集"},
        {"execCommand('copy')", 4, 0, "copied-execCommand", "频道：高清剧场"},
    };
    for (const auto& button : buttons) {
        SCOPED_TRACE(button.how);
        if (button.row >= 0)
            clickCell(button.row, button.column);
        EXPECT_TRUE(reported(button.report)) << "no report " << button.report;
        EXPECT_TRUE(waitUntil([&] { return clipboard() == button.copied; }, 5s)) << clipboard();
    }
    // What the user copied is not the page's to read.
    clickCell(4, 1);
    EXPECT_TRUE(reported("clipboard-read-refused-NotAllowedError"));
    screenshot("copy-buttons");
}

TEST_F(BrowserPaneEndToEnd, TheFileChooserOpensInTheDownloadFolder)
{
    // A bare name is found in the folder the chooser shows, and only there.
    std::filesystem::copy_file(std::filesystem::path(VELMORA_BROWSER_SITE_DIR) / "files/notes.txt",
                               downloads_ / "upload-me.txt");
    clickCell(4, 2);
    const std::string chooser = waitForWindow("打开");
    ASSERT_FALSE(chooser.empty()) << "no file chooser";
    std::this_thread::sleep_for(1s);
    screenshot("file-chooser");
    x_.run("xdotool windowactivate --sync " + chooser + " type --delay 30 upload-me.txt");
    keys(chooser, "Return");
    EXPECT_TRUE(reported("chose-upload-me.txt")) << "not opened in the download folder";
    EXPECT_TRUE(windowGone(x_, "打开"));
}

TEST_F(BrowserPaneEndToEnd, AQuestionWhoseWindowClosesDeniesWhatWaitedForIt)
{
    // The new window asks for the microphone and closes itself on a timer;
    // meanwhile the main page asks too and waits on the same question.
    clickCell(3, 2);
    ASSERT_FALSE(waitForWindow("权限请求").empty());
    clickCell(1, 0);
    EXPECT_TRUE(windowGone(x_, "自行关闭的窗口"));
    EXPECT_TRUE(reported("microphone-denied-NotAllowedError")) << "left waiting";
    EXPECT_TRUE(windowGone(x_, "权限请求"));
    // Nobody answered: nothing was kept, and the next request asks again.
    clickCell(1, 0);
    EXPECT_FALSE(waitForWindow("权限请求").empty());
}

// The processes whose parent is pid.
std::vector<std::string> children(const std::string& pid)
{
    std::vector<std::string> found;
    std::istringstream table(runAndRead("ps -e -o pid=,ppid="));
    for (std::string child, parent; table >> child >> parent;)
        if (parent == pid)
            found.push_back(child);
    return found;
}

// The engine's renderers: forked by its zygotes, which the program starts,
// they keep the zygote's command line, so they are known by their place.
std::vector<std::string> renderers(pid_t program)
{
    std::vector<std::string> found;
    for (const std::string& zygote : children(std::to_string(program)))
        for (const std::string& renderer : children(zygote))
            found.push_back(renderer);
    return found;
}

void killRenderers(pid_t program)
{
    for (const std::string& renderer : renderers(program))
        runAndRead("kill -9 " + renderer);
}

TEST_F(BrowserPaneEndToEnd, APaneWhoseRendererDiesLoadsItsPageAgainOrSaysSo)
{
    ASSERT_FALSE(renderers(app_->pid()).empty());
    site_.clearLog();
    killRenderers(app_->pid());
    EXPECT_TRUE(site_.waitForRequest("/tiaozhuan/index1.html", kPageTimeout)) << "the pane stayed blank";
    ASSERT_TRUE(reported("language-zh-CN"));

    // Again within the 10 s, twice: the page is not loaded again by itself,
    // but the pane tells what happened, and its link (the page's only one)
    // loads it, also once the program's own page has lost its renderer.
    site_.clearLog();
    for (int again = 0; again < 2; ++again) {
        killRenderers(app_->pid());
        EXPECT_FALSE(site_.waitForRequest("/tiaozhuan/index1.html", 2s));
    }
    screenshot("renderer-died-again");
    clickCell(4, 3);  // empty in the test page; the program's page has only the link
    keys(window_, "Tab Return");
    EXPECT_TRUE(site_.waitForRequest("/tiaozhuan/index1.html", kPageTimeout)) << "no page with a reload link";
    EXPECT_TRUE(reported("language-zh-CN"));
    EXPECT_TRUE(app_->running());
}

}  // namespace
}  // namespace velmora::test
