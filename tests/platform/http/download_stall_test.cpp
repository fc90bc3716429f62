// A download whose server stops sending, on the platform's own HTTP backend:
// a read that gets no byte for the stall limit fails, so the download ends as
// a cut-off instead of waiting for ever, and the archive already at the
// target stays as it was. The limit is the downloader's own wait on every
// backend, so it holds under Wine too. Most cases use a short limit; one
// waits out the real one.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/files/byte_file.h"
#include "platform/system/clock.h"
#include "platform/http/internet.h"
#include "tests/support/fake_message_pump.h"
#include "tests/support/platform_capabilities.h"
#include "tests/support/test_files.h"
#include "tests/support/test_folder.h"
#include "tools/loopback_server/loopback_server.h"
#include "updater/cls_download.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using loopback::ScriptedReply;
using Codes = std::vector<std::int32_t>;

const Codes kReadToEnd = {1, 2, 3, 4, 9, 6};
const Codes kRefused = {1, 2, 8, 6};
const std::string kOldArchive = "the archive that stood there before";

std::string head(std::size_t length)
{
    return loopback::responseHead(200, {{"Content-Length", std::to_string(length)}});
}

class DownloadStallTest : public ::testing::Test {
protected:
    struct Ending {
        Codes statuses;
        std::int32_t result = -1;
        DownloadOutcome outcome = DownloadOutcome::None;
        std::chrono::steady_clock::duration took{};
    };

    DownloadStallTest()
    {
        std::filesystem::create_directories(folder);
        std::ofstream(target, std::ios::binary) << kOldArchive;
    }
    ~DownloadStallTest() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // stall: the backend's limit; none: the backend as the program makes it.
    // hold: how long the caller keeps the transfer after the first block.
    Ending download(const ScriptedReply& reply, std::optional<std::chrono::milliseconds> stall,
                    std::chrono::milliseconds hold = {})
    {
        TransferLimits limits = kDownloadLimits;
        limits.stall = stall.value_or(limits.stall);
        const auto internet = stall ? createInternet(limits) : createInternet();
        FakeMessagePump pump;
        Cls_DownLoad dl(*internet, systemClock(), pump, localFileSystem());
        Ending ending;
        dl.entDLFileStatus = [&](std::int32_t& code) { ending.statuses.push_back(code); };
        bool firstBlock = false;
        dl.entDLFileDowning = [&](std::string&, std::int32_t&, std::int32_t&, std::int32_t&) { firstBlock = true; };
        // A window or a disk that keeps the caller busy between two reads.
        pump.onDoEvents = [&](int) {
            if (std::exchange(firstBlock, false) && hold.count() > 0) {
                std::this_thread::sleep_for(hold);
                hold = {};
            }
        };
        server.script("/velmora.zip", reply);
        const auto started = std::chrono::steady_clock::now();
        ending.result = dl.DLFile(server.url("/velmora.zip"), target.string());
        ending.took = std::chrono::steady_clock::now() - started;
        ending.outcome = dl.lastOutcome();
        return ending;
    }

    loopback::LoopbackServer server;
    const std::filesystem::path folder = velmora::test::testPath("velmora-stall");
    const std::filesystem::path target = folder / "Velmora1.0.zip";
};

TEST_F(DownloadStallTest, NoByteForTheStallLimitEndsTheDownloadAsACutOff)
{
    const std::string bytes = patternBytes(0, 5000);
    const Ending ending = download(ScriptedReply().send(head(5000) + bytes.substr(0, 2000)).pause(5min), 1s);

    EXPECT_EQ(ending.statuses, kReadToEnd);
    EXPECT_EQ(ending.outcome, DownloadOutcome::CutOff);
    EXPECT_EQ(ending.result, 2000);
    EXPECT_GE(ending.took, 1s);
    EXPECT_EQ(fileBytes(target), kOldArchive);
    EXPECT_EQ(fileBytes(target.string() + ".part"), bytes.substr(0, 2000));
}

TEST_F(DownloadStallTest, TheLimitIsForEachReadNotForTheWholeDownload)
{
    const std::string bytes = patternBytes(0, 4000);
    ScriptedReply slow;
    slow.send(head(4000));
    for (std::size_t at = 0; at < 4000; at += 1000)
        slow.send(bytes.substr(at, 1000)).pause(600ms);
    const Ending ending = download(slow, 1s);

    EXPECT_EQ(ending.statuses, kReadToEnd);
    EXPECT_EQ(ending.outcome, DownloadOutcome::Complete);
    EXPECT_GT(ending.took, 1500ms) << "the whole took longer than the limit";
    EXPECT_EQ(fileBytes(target), bytes);
}

TEST_F(DownloadStallTest, TheCallersOwnTimeBetweenReadsIsNotTheServers)
{
    // The caller holds the transfer 1.5 s after the first block; the bytes
    // after the first 1000 come 2 s after them, so the read that waits for
    // them waits half a second, well within the limit of 1 s.
    const std::string bytes = patternBytes(0, 3000);
    const Ending ending = download(
        ScriptedReply().send(head(3000) + bytes.substr(0, 1000)).pause(2s).send(bytes.substr(1000)), 1s, 1500ms);

    EXPECT_EQ(ending.outcome, DownloadOutcome::Complete);
    EXPECT_EQ(ending.statuses, kReadToEnd);
    EXPECT_EQ(fileBytes(target), bytes);
}

TEST_F(DownloadStallTest, NoAnswerAfterTheConnectionIsARequestThatFailed)
{
    if (!velmora::test::endsStalledHttpReads())
        GTEST_SKIP() << "this system's HTTP library never ends a wait for a response head";
    const Ending ending = download(ScriptedReply().pause(5min), 1s);

    EXPECT_EQ(ending.statuses, kRefused);
    EXPECT_EQ(ending.outcome, DownloadOutcome::RequestFailed);
    EXPECT_EQ(fileBytes(target), kOldArchive);
}

// The one real wait: the limit the program downloads with is WinINet's
// default receive time-out, 30 seconds, not less and not unbounded.
TEST_F(DownloadStallTest, TheProgramsOwnLimitIsThirtySeconds)
{
    ASSERT_EQ(kDownloadLimits.stall, 30s);
    const std::string bytes = patternBytes(0, 3000);
    const Ending ending = download(ScriptedReply().send(head(3000) + bytes.substr(0, 1000)).pause(5min),
                                   std::nullopt);

    EXPECT_EQ(ending.outcome, DownloadOutcome::CutOff);
    EXPECT_EQ(ending.statuses, kReadToEnd);
    EXPECT_GE(ending.took, 29s);
    EXPECT_LT(ending.took, 45s);
    EXPECT_EQ(fileBytes(target), kOldArchive);
}

}  // namespace
}  // namespace velmora
