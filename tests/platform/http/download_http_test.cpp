// The downloader on the platform's own HTTP backend, file system and clock,
// against the loopback server: the same scenarios on every platform, checked
// byte for byte in the file that stands at the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/byte_file.h"
#include "platform/system/clock.h"
#include "tests/platform/http/http_backend_fixture.h"
#include "tests/support/fake_message_pump.h"
#include "tests/support/test_files.h"
#include "updater/cls_download.h"
#include "tests/support/test_folder.h"

namespace velmora {
namespace {

using loopback::ScriptedReply;
using Codes = std::vector<std::int32_t>;

const Codes kReadToEnd = {1, 2, 3, 4, 9, 6};
const Codes kStopped = {1, 2, 3, 4, 5, 6};
const Codes kRefused = {1, 2, 8, 6};
const std::string kOldArchive = "the archive that stood there before";

class DownloadHttpTest : public HttpBackendTest {
protected:
    DownloadHttpTest()
    {
        std::filesystem::create_directories(folder);
        std::ofstream(target, std::ios::binary) << kOldArchive;
        dl.entDLFileStatus = [this](std::int32_t& code) { statuses.push_back(code); };
        dl.entDLFileDowning = [this](std::string&, std::int32_t& downloaded, std::int32_t& filesize,
                                     std::int32_t&) {
            counts.push_back(downloaded);
            sizes.push_back(filesize);
        };
    }
    ~DownloadHttpTest() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::int32_t download(const std::string& path) { return dl.DLFile(server.url(path), target.string(), 5000); }

    const std::filesystem::path folder = velmora::test::testPath("velmora-download");
    const std::filesystem::path target = folder / "Velmora1.0.zip";
    FakeMessagePump pump;
    Cls_DownLoad dl{*internet, systemClock(), pump, localFileSystem()};
    Codes statuses;
    std::vector<std::int32_t> counts;  // lDownLoaded of every progress notification
    std::vector<std::int32_t> sizes;   // lFilesize of every progress notification
};

TEST_F(DownloadHttpTest, WholeBodiesReplaceTheTargetByteForByte)
{
    const std::string body = patternBytes(0, 5000);
    struct Case {
        const char* path;
        ScriptedReply reply;
        std::string written;
        std::int32_t filesize;
    };
    const std::vector<Case> cases = {
        {"/velmora.zip", ScriptedReply::response(200, body), body, 5000},
        {"/no-length", ScriptedReply::closeDelimited(200, body), body, 0},
        {"/chunked", ScriptedReply::chunked(200, {body.substr(0, 1234), body.substr(1234)}), body, 0},
        {"/moved", ScriptedReply::redirect(302, "/velmora.zip"), body, 5000},
        {"/exactly-512", ScriptedReply::response(200, body.substr(0, 512)), body.substr(0, 512), 512},
        {"/empty", ScriptedReply::response(200, ""), "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        server.script(c.path, c.reply);
        statuses.clear();
        counts.clear();
        sizes.clear();
        const std::int32_t result = download(c.path);

        EXPECT_EQ(result, static_cast<std::int32_t>(c.written.size()));
        EXPECT_EQ(statuses, kReadToEnd);
        EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Complete);
        EXPECT_EQ(sizes, std::vector<std::int32_t>(counts.size(), c.filesize));
        for (std::size_t i = 0; i < counts.size(); ++i) {
            const std::int32_t before = i == 0 ? 0 : counts[i - 1];
            EXPECT_GT(counts[i], before);
            EXPECT_LE(counts[i] - before, 512);
        }
        const auto written = fileBytes(target);
        ASSERT_TRUE(written.has_value());
        EXPECT_TRUE(*written == c.written) << "file holds " << written->size() << " bytes";
    }
}

TEST_F(DownloadHttpTest, AShortBlockIsWrittenAsItCameAndTheNextReadAsksForAWholeBlock)
{
    const std::string body = patternBytes(0, 1836);
    server.script("/velmora.zip", ScriptedReply()
                                      .send(loopback::responseHead(200, {{"Content-Length", "1836"}}) +
                                            body.substr(0, 300))
                                      .hold()
                                      .send(body.substr(300)));
    // The first block is the 300 bytes before the hold; had the read waited
    // for 512, it would have come only when the hold ran out by itself.
    pump.onDoEvents = [this](int call) {
        if (call == 1) {
            EXPECT_EQ(server.holdsEnded(), 0);
            server.releaseHeld();
        }
    };
    const std::int32_t result = download("/velmora.zip");

    EXPECT_EQ(result, 1836);
    EXPECT_EQ(statuses, kReadToEnd);
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.front(), 300);
    EXPECT_EQ(counts.back(), 1836);
    EXPECT_EQ(fileBytes(target), body);
}

TEST_F(DownloadHttpTest, CutOffBodyEndsWithEndOfDataAndLeavesTheOldArchive)
{
    const std::string part = patternBytes(0, 700);
    const std::string head = loopback::responseHead(200, {{"Content-Length", "1000"}});
    struct Case {
        const char* name;
        ScriptedReply reply;
    };
    const std::vector<Case> cases = {
        {"/closed", ScriptedReply().send(head + part).hold().close()},
        {"/reset", ScriptedReply().send(head + part).hold().reset()},
    };
    // The hold ends only once all 700 bytes have been written, so the cut
    // never overtakes bytes that are still on their way.
    pump.onDoEvents = [this](int) {
        if (!counts.empty() && counts.back() == 700)
            server.releaseHeld();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.script(c.name, c.reply);
        statuses.clear();
        counts.clear();
        const std::int32_t result = download(c.name);

        EXPECT_EQ(result, 700);
        EXPECT_EQ(statuses, kReadToEnd);
        EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::CutOff);
        EXPECT_EQ(fileBytes(target), kOldArchive);
        EXPECT_EQ(fileBytes(target.string() + ".part"), part);
    }
}

TEST_F(DownloadHttpTest, RefusedRequestsTouchNoFile)
{
    server.script("/missing", ScriptedReply::error(404));
    server.script("/broken", ScriptedReply::error(500));
    server.script("/to-missing", ScriptedReply::redirect(302, "/missing"));
    const std::vector<std::string> paths = {"/missing", "/broken", "/to-missing"};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        statuses.clear();
        EXPECT_EQ(download(path), 0);
        EXPECT_EQ(statuses, kRefused);
        EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::RequestFailed);
        EXPECT_TRUE(counts.empty());
        EXPECT_EQ(fileBytes(target), kOldArchive);
        EXPECT_FALSE(std::filesystem::exists(target.string() + ".part"));
    }
}

TEST_F(DownloadHttpTest, StopDuringTheYieldEndsAfterTheNextBlock)
{
    const std::string body = patternBytes(0, 64 * 1024);
    server.script("/velmora.zip", ScriptedReply::response(200, body));
    pump.onDoEvents = [this](int call) {
        if (call == 1)
            dl.DLFileStop();
    };
    const std::int32_t result = download("/velmora.zip");

    EXPECT_EQ(statuses, kStopped);
    EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Stopped);
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(result, counts.back());
    EXPECT_EQ(fileBytes(target), kOldArchive);
    EXPECT_EQ(fileBytes(target.string() + ".part"), body.substr(0, static_cast<std::size_t>(result)));
}

}  // namespace
}  // namespace velmora
