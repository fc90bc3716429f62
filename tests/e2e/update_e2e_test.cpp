// The update hand-over in the real program under Xvfb, against the demo site
// whose notice holds the marker: the question comes before any window, Yes
// opens the updater instead of the main window, and Download brings the
// demo archive into the program's folder byte for byte (in a build with a
// key, only after the signature the build made for it has been checked).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <vector>

#include <csignal>

#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"
#include "tests/support/test_files.h"
#include "updater/release_signature.h"
#include "tools/loopback_server/resumable_file.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using loopback::ScriptedReply;

const std::filesystem::path kProgramFolder = std::filesystem::path(VELMORA_EXECUTABLE).parent_path();
const std::filesystem::path kArchive = kProgramFolder / "Velmora1.0.zip";
const std::filesystem::path kPartFile = kProgramFolder / "Velmora1.0.zip.part";
const std::filesystem::path kRecordFile = kProgramFolder / "Velmora1.0.zip.part.resume";

// Command1 at 5970,375 twips and Command2 at 7560,375, 1500 x 360: their
// centres in pixels.
constexpr Point kDownloadButton{448, 37};
constexpr Point kStopButton{554, 37};

std::string readFile(const std::filesystem::path& path)
{
    return fileBytes(path).value_or("");
}

// The archive's first block, then a pause held by the test, then the rest.
ScriptedReply heldAfterTheFirstBlock(const std::string& archive)
{
    return ScriptedReply()
        .send(loopback::responseHead(200, {{"Content-Length", std::to_string(archive.size())}}) + archive.substr(0, 512))
        .hold()
        .send(archive.substr(512));
}

TEST(UpdateEndToEnd, YesHandsOverToTheUpdaterWhichFetchesTheArchive)
{
    const std::string archive = readFile(std::string(VELMORA_DEMO_SITE_DIR) + "/velmora.zip");
    ASSERT_GT(archive.size(), 512u) << "the demo archive must span more than one block";
    std::filesystem::remove(kArchive);
    std::filesystem::remove(kPartFile);

    DemoSite demo;
    demo.site.script("/velmora.zip", heldAfterTheFirstBlock(archive));
    XSession x;
    auto app = startVelmora(x, artifactPath("update-e2e.log"));

    const std::string prompt = x.waitForWindow("更新提示", 60000);
    ASSERT_FALSE(prompt.empty()) << "the notice holds the marker: the program must ask";
    EXPECT_EQ(visibleWindows(x, "VelmoraV1.0--"), 0) << "the question comes before any window";
    EXPECT_EQ(visibleWindows(x, "更新程序--"), 0);
    x.screenshot(artifactPath("update-prompt.png"));
    x.run("xdotool windowactivate --sync " + prompt + " key --clearmodifiers Return");

    const std::string updater = x.waitForWindow("更新程序--", 30000);
    ASSERT_FALSE(updater.empty());
    EXPECT_EQ(visibleWindows(x, "VelmoraV1.0--"), 0) << "the main window is never shown after Yes";

    click(x, updater, kDownloadButton);
    const auto request = demo.site.waitForRequest("/velmora.zip", 30s);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->header("User-Agent"), "VB Http");

    // Held after the first block: the window shows it while the rest waits.
    // The part file is open by then; the block itself waits in the file's
    // write buffer, which reaches the disk when the body ends.
    ASSERT_TRUE(waitUntil([] { return std::filesystem::exists(kPartFile); }, 30s));
    std::this_thread::sleep_for(1s);  // lets the window paint before the picture
    x.screenshot(artifactPath("updater-mid-download.png"));
    // Download is disabled now and the keyboard on Stop: a letter typed
    // goes nowhere, where in the address box it would replace the address.
    x.run("xdotool windowactivate --sync " + updater + " type x");
    demo.site.releaseHeld();

    ASSERT_TRUE(waitUntil([] { return std::filesystem::exists(kArchive); }, 30s));
    EXPECT_EQ(readFile(kArchive), archive);
    if (builtInUpdateKey()) {
        EXPECT_TRUE(demo.site.waitForRequest("/velmora.zip.sig", 1s)) << "the archive stands only once checked";
    }
    EXPECT_FALSE(std::filesystem::exists(kPartFile));
    std::this_thread::sleep_for(1s);
    x.screenshot(artifactPath("updater-done.png"));
    EXPECT_EQ(visibleWindows(x, "VelmoraV1.0--"), 0);

    // Download again (the address is still the archive's), and the server
    // goes quiet after the first block: 停止 ends the download at once, the
    // block is in the part for the next try, and the archive that came
    // before stays as it was.
    demo.site.script("/velmora.zip", heldAfterTheFirstBlock(archive));
    demo.site.clearLog();
    click(x, updater, kDownloadButton);
    EXPECT_TRUE(demo.site.waitForRequest("/velmora.zip", 30s)) << "the address was typed over";
    ASSERT_TRUE(waitUntil([] { return std::filesystem::exists(kPartFile); }, 30s));
    std::this_thread::sleep_for(500ms);
    click(x, updater, kStopButton);
    // The part reaches the disk when the download ends.
    EXPECT_TRUE(waitUntil([] { return readFile(kPartFile).size() == 512; }, 1s)) << "停止 answered within a second";
    x.screenshot(artifactPath("updater-stopped-in-a-silence.png"));
    EXPECT_EQ(readFile(kArchive), archive);
    EXPECT_TRUE(app->running());
    for (const auto& path : {kArchive, kPartFile})
        std::filesystem::remove(path);
}

// Brings the updater up in place of the main window, as Yes does.
std::string openUpdater(const XSession& x)
{
    const std::string prompt = x.waitForWindow("更新提示", 60000);
    if (prompt.empty())
        return {};
    x.run("xdotool windowactivate --sync " + prompt + " key --clearmodifiers Return");
    return x.waitForWindow("更新程序--", 30000);
}

std::vector<loopback::RecordedRequest> archiveRequests(const DemoSite& demo)
{
    std::vector<loopback::RecordedRequest> found;
    for (const loopback::RecordedRequest& request : demo.site.requests()) {
        if (request.path == "/velmora.zip")
            found.push_back(request);
    }
    return found;
}

// The connection drops half-way; Download again asks only for the rest, the
// window says it goes on, and the archive comes whole (in a build with a
// key, only once its signature has been checked over all of it).
TEST(UpdateEndToEnd, ADownloadCutOffHalfWayGoesOnWhereItStopped)
{
    const std::string archive = readFile(std::string(VELMORA_DEMO_SITE_DIR) + "/velmora.zip");
    for (const auto& path : {kArchive, kPartFile, kRecordFile})
        std::filesystem::remove(path);
    const std::size_t half = archive.size() / 2;
    DemoSite demo;
    // The first reply is cut at half; the second holds after its first 100
    // bytes, while the window is looked at.
    demo.site.serveResumable("/velmora.zip", loopback::ResumableFile{{{archive, "\"demo-1\"", ""}},
                                                                     loopback::ResumableFile::Ranges::Honour,
                                                                     {half},
                                                                     {archive.size(), 100}});
    XSession x;
    auto app = startVelmora(x, artifactPath("resume-e2e.log"));
    const std::string updater = openUpdater(x);
    ASSERT_FALSE(updater.empty());

    click(x, updater, kDownloadButton);
    ASSERT_TRUE(waitUntil([&] { return fileBytes(kPartFile).value_or("").size() == half; }, 30s));
    ASSERT_TRUE(std::filesystem::exists(kRecordFile));
    EXPECT_FALSE(std::filesystem::exists(kArchive));
    std::this_thread::sleep_for(1s);
    x.screenshot(artifactPath("updater-cut-off.png"));

    click(x, updater, kDownloadButton);
    ASSERT_TRUE(waitUntil([&] { return archiveRequests(demo).size() == 2; }, 30s));
    const loopback::RecordedRequest second = archiveRequests(demo)[1];
    EXPECT_EQ(second.header("Range"), "bytes=" + std::to_string(half) + "-");
    EXPECT_EQ(second.header("If-Range"), "\"demo-1\"");
    std::this_thread::sleep_for(1s);
    x.screenshot(artifactPath("updater-resumed.png"));
    demo.site.releaseHeld();

    ASSERT_TRUE(waitUntil([] { return std::filesystem::exists(kArchive); }, 30s));
    EXPECT_EQ(readFile(kArchive), archive);
    std::printf("second try fetched %zu of %zu bytes\n", archive.size() - half, archive.size());
    if (builtInUpdateKey()) {
        EXPECT_TRUE(demo.site.waitForRequest("/velmora.zip.sig", 1s)) << "the archive stands only once checked";
    }
    EXPECT_EQ(archiveRequests(demo).size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(kPartFile));
    EXPECT_FALSE(std::filesystem::exists(kRecordFile));
    std::this_thread::sleep_for(1s);
    x.screenshot(artifactPath("updater-resumed-done.png"));
    EXPECT_TRUE(app->running());
    std::filesystem::remove(kArchive);
}

// Killed in the middle of a download, started again: what reached the disk
// is kept, and the next download asks only for what is missing. The archive
// here is not the one the build signed: a build with a key refuses it and
// removes the part; one without keeps it.
TEST(UpdateEndToEnd, ADownloadKilledHalfWayGoesOnInTheNextRun)
{
    const std::string body = patternBytes(0, 200 * 1024);
    for (const auto& path : {kArchive, kPartFile, kRecordFile})
        std::filesystem::remove(path);
    DemoSite demo;
    demo.site.serveResumable("/velmora.zip", loopback::ResumableFile{{{body, "\"big-1\"", ""}},
                                                                     loopback::ResumableFile::Ranges::Honour,
                                                                     {},
                                                                     {150 * 1024}});
    XSession x;
    auto app = startVelmora(x, artifactPath("resume-kill-e2e.log"));
    std::string updater = openUpdater(x);
    ASSERT_FALSE(updater.empty());
    click(x, updater, kDownloadButton);
    // The part reaches the disk a write buffer (64 KiB) at a time.
    ASSERT_TRUE(waitUntil([] { return fileBytes(kPartFile).value_or("").size() >= 100 * 1024; }, 30s));
    ::kill(-app->pid(), SIGKILL);
    app->waitForExit(5000);
    const std::size_t kept = fileBytes(kPartFile).value_or("").size();
    EXPECT_TRUE(fileBytes(kPartFile) == body.substr(0, kept));
    demo.site.releaseHeld();

    app = startVelmora(x, artifactPath("resume-kill-e2e-2.log"));
    updater = openUpdater(x);
    ASSERT_FALSE(updater.empty());
    click(x, updater, kDownloadButton);
    ASSERT_TRUE(waitUntil([&] { return archiveRequests(demo).size() == 2; }, 30s));
    EXPECT_EQ(archiveRequests(demo)[1].header("Range"), "bytes=" + std::to_string(kept) + "-");
    ASSERT_TRUE(waitUntil([] { return !std::filesystem::exists(kRecordFile); }, 30s));
    std::printf("after the kill, the second run fetched %zu of %zu bytes\n", body.size() - kept, body.size());
    if (builtInUpdateKey()) {
        EXPECT_FALSE(std::filesystem::exists(kArchive)) << "not the archive the build signed";
        EXPECT_FALSE(std::filesystem::exists(kPartFile)) << "a refused archive's bytes are not kept";
    } else {
        EXPECT_TRUE(fileBytes(kArchive) == body);
    }
    std::filesystem::remove(kArchive);
}

// Two copies of the program that both answered Yes and pressed Download:
// the second meets the first's part and asks the server for nothing (its
// window says another is downloading), and the first's archive ends whole.
TEST(UpdateEndToEnd, TwoProgramsUpdatingAtOnceLeaveOneWholeArchive)
{
    const std::string archive = readFile(std::string(VELMORA_DEMO_SITE_DIR) + "/velmora.zip");
    for (const auto& path : {kArchive, kPartFile, kRecordFile})
        std::filesystem::remove(path);
    DemoSite demo;
    demo.site.script("/velmora.zip",
                     ScriptedReply()
                         .send(loopback::responseHead(200, {{"Content-Length", std::to_string(archive.size())},
                                                            {"ETag", "\"demo-1\""}})
                               + archive.substr(0, 512))
                         .hold()
                         .send(archive.substr(512)));
    XSession x;
    auto first = startVelmora(x, artifactPath("two-programs-first.log"));
    const std::string firstUpdater = openUpdater(x);
    ASSERT_FALSE(firstUpdater.empty());
    click(x, firstUpdater, kDownloadButton);
    ASSERT_TRUE(demo.site.waitForRequest("/velmora.zip", 30s));
    ASSERT_TRUE(waitUntil([] { return std::filesystem::exists(kPartFile); }, 30s));

    auto second = startVelmora(x, artifactPath("two-programs-second.log"));
    ASSERT_TRUE(waitUntil([&] { return visibleWindows(x, "更新提示") == 1; }, 60s));
    const std::string prompt = x.waitForWindow("更新提示", 1000);
    x.run("xdotool windowactivate --sync " + prompt + " key --clearmodifiers Return");
    ASSERT_TRUE(waitUntil([&] { return visibleWindows(x, "更新程序--") == 2; }, 30s));
    std::string secondUpdater;
    std::istringstream ids(x.run("xdotool search --onlyvisible --name '更新程序--'"));
    for (std::string id; ids >> id;) {
        if (id != firstUpdater)
            secondUpdater = id;
    }
    ASSERT_FALSE(secondUpdater.empty());
    click(x, secondUpdater, kDownloadButton);
    std::this_thread::sleep_for(2s);
    x.screenshot(artifactPath("two-programs-second-waits.png"));
    EXPECT_EQ(archiveRequests(demo).size(), 1u) << "the second asks the server for nothing";

    demo.site.releaseHeld();
    ASSERT_TRUE(waitUntil([] { return std::filesystem::exists(kArchive); }, 30s));
    EXPECT_EQ(readFile(kArchive), archive);
    EXPECT_FALSE(std::filesystem::exists(kPartFile));
    EXPECT_EQ(archiveRequests(demo).size(), 1u);
    EXPECT_TRUE(first->running());
    EXPECT_TRUE(second->running());
    std::filesystem::remove(kArchive);
}

}  // namespace
}  // namespace velmora::test
