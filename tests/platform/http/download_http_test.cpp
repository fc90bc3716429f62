// The downloader on the platform's own HTTP backend, file system and clock,
// against the loopback server: the same scenarios on every platform, checked
// byte for byte in the file that stands at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/byte_file.h"
#include "platform/system/clock.h"
#include "tests/platform/http/http_backend_fixture.h"
#include "tests/support/fake_message_pump.h"
#include "tests/support/fake_signature_verifier.h"
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
    pump.onDoEvents = [this](int) {
        if (counts.size() == 1 && server.holdsEnded() == 0)
            server.releaseHeld();
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
    // In the yield after the first block, whose successor has come already.
    pump.onDoEvents = [this](int) {
        if (counts.size() == 1)
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

// Two downloads of one target at once, through the real byte files: the
// second meets the first's lock before it asks the server for anything, and
// the first ends with the whole archive.
TEST_F(DownloadHttpTest, ASecondDownloadOfTheSameTargetWaitsForTheFirst)
{
    const std::string body = patternBytes(0, 8 * 1024);
    server.script("/velmora.zip", ScriptedReply::response(200, body, {{"ETag", "\"v1\""}}));
    Cls_DownLoad second{*internet, systemClock(), pump, localFileSystem()};
    Codes secondStatuses;
    second.entDLFileStatus = [&](std::int32_t& code) { secondStatuses.push_back(code); };
    pump.onDoEvents = [&](int call) {
        if (call == 2)
            EXPECT_EQ(second.DLFile(server.url("/velmora.zip"), target.string()), 0);
    };

    EXPECT_EQ(download("/velmora.zip"), static_cast<std::int32_t>(body.size()));

    EXPECT_EQ(secondStatuses, kRefused);
    EXPECT_EQ(second.lastOutcome(), DownloadOutcome::TargetBusy);
    EXPECT_EQ(server.requests().size(), 1u) << "the second made no request";
    EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Complete);
    EXPECT_TRUE(fileBytes(target) == body);
    EXPECT_FALSE(std::filesystem::exists(lockFilePath(target.string())));
}

// A server slow in each way it can be, with the archive or with its
// signature: the window is served while the download waits, Stop pressed a
// second into the silence ends it at once, and the old archive stays (the
// archive's bytes that came stay in the part for the next try). With the
// signature, the check also gives up at its limit whatever the server is
// doing then.
struct SlowServerCase {
    const char* name;
    std::vector<std::pair<std::string, ScriptedReply>> scripts;  // path -> reply
    Codes stoppedWith;
    std::size_t keptBytes;  // in the part once stopped
};

void PrintTo(const SlowServerCase& c, std::ostream* os) { *os << c.name; }

ScriptedReply slowRedirect(const std::string& to, std::chrono::seconds after = std::chrono::seconds(3))
{
    return ScriptedReply().pause(after).send(loopback::responseHead(302, {{"Location", to}, {"Content-Length", "0"}}));
}

const std::string kSlowBody = patternBytes(0, 64 * 1024);
constexpr std::size_t kBeforeSilence = 16 * 1024;

ScriptedReply silentAfter(std::size_t bytes)
{
    return ScriptedReply()
        .send(loopback::responseHead(200, {{"Content-Length", std::to_string(kSlowBody.size())}})
              + kSlowBody.substr(0, bytes))
        .pause(std::chrono::seconds(10))
        .send(kSlowBody.substr(bytes));
}

class SlowServerTest : public DownloadHttpTest, public ::testing::WithParamInterface<SlowServerCase> {
protected:
    bool signatureIsSlow() const { return GetParam().stoppedWith == kReadToEnd; }
};

TEST_P(SlowServerTest, ServesTheWindowAndStopEndsTheWaitAtOnce)
{
    const SlowServerCase& c = GetParam();
    if (signatureIsSlow())
        server.script("/velmora.zip", ScriptedReply::response(200, kSlowBody.substr(0, 1000)));
    for (const auto& [path, reply] : c.scripts)
        server.script(path, reply);
    FakeSignatureVerifier verifier;
    const std::unique_ptr<Internet> signatureInternet = createInternet(kSignatureLimits);
    Cls_DownLoad signedDl{*internet, systemClock(), pump, localFileSystem(),
                          ReleaseCheck{Ed25519PublicKey{}, verifier, *signatureInternet}};
    signedDl.entDLFileStatus = [&](std::int32_t& code) { statuses.push_back(code); };
    using Clock = std::chrono::steady_clock;

    Clock::time_point endOfData{};
    if (signatureIsSlow()) {
        signedDl.entDLFileStatus = [&](std::int32_t& code) {
            statuses.push_back(code);
            if (code == kStatusEndOfData)
                endOfData = Clock::now();
        };
        signedDl.DLFile(server.url("/velmora.zip"), target.string());
        const auto waited = Clock::now() - endOfData;
        std::printf("signature fetch given up after %.2f s\n", std::chrono::duration<double>(waited).count());
        EXPECT_EQ(statuses, kReadToEnd);
        EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::SignatureRejected);
        EXPECT_LT(waited, kSignatureLimits.total + std::chrono::seconds(1));
        EXPECT_EQ(fileBytes(target), kOldArchive);
        statuses.clear();
    }

    // 停止 a second into the silence, which the window is served through (a
    // pass every 50 ms: the figures are the benchmark's, a busy machine
    // slows them).
    const Clock::time_point started = Clock::now();
    int passes = 0;
    pump.onDoEvents = [&](int) {
        ++passes;
        if (Clock::now() - started >= std::chrono::seconds(1))
            signedDl.DLFileStop();
    };
    signedDl.DLFile(server.url("/velmora.zip"), target.string());
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(3));
    EXPECT_GE(passes, 5);
    EXPECT_EQ(statuses, c.stoppedWith);
    EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::Stopped);
    EXPECT_EQ(fileBytes(target), kOldArchive);
    EXPECT_EQ(fileBytes(target.string() + ".part").value_or("").size(), c.keptBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Waits, SlowServerTest,
    ::testing::Values(
        // The archive: its body silent after 16 KiB, its head silent, a
        // redirect silent before its answer.
        SlowServerCase{"ArchiveBodySilent", {{"/velmora.zip", silentAfter(kBeforeSilence)}}, kStopped, kBeforeSilence},
        SlowServerCase{"ArchiveHeadSilent", {{"/velmora.zip", ScriptedReply().pause(std::chrono::seconds(10))}},
                       {1, 2, 5, 6}, 0},
        SlowServerCase{"ArchiveRedirectSilent",
                       {{"/velmora.zip", slowRedirect("/r1", std::chrono::seconds(10))},
                        {"/r1", ScriptedReply::response(200, kSlowBody)}},
                       {1, 2, 5, 6}, 0},
        // The signature: 90 s for the whole body, a byte a second.
        SlowServerCase{"SignatureBodyTrickled",
                       {{"/velmora.zip.sig", ScriptedReply()
                                                 .send(loopback::responseHead(200, {{"Content-Length", "90"}}))
                                                 .sendSpaced(std::string(90, 'A'), std::chrono::seconds(1))}},
                       kReadToEnd, 1000},
        // Its status line and headers a byte a second: no byte ever stalls.
        SlowServerCase{"SignatureHeadTrickled",
                       {{"/velmora.zip.sig",
                         ScriptedReply().sendSpaced(loopback::responseHead(200, {{"Content-Length", "90"}}),
                                                    std::chrono::seconds(1))}},
                       kReadToEnd, 1000},
        // Five redirects, each after three seconds.
        SlowServerCase{"SignatureSlowRedirects",
                       {{"/velmora.zip.sig", slowRedirect("/r1")},
                        {"/r1", slowRedirect("/r2")},
                        {"/r2", slowRedirect("/r3")},
                        {"/r3", slowRedirect("/r4")},
                        {"/r4", slowRedirect("/r5")}},
                       kReadToEnd, 1000}),
    [](const auto& info) { return std::string(info.param.name); });

// A download cut off part-way and started again: what the second request
// asks for, and that the target ends as the server's file byte for byte,
// with nothing of an older version in it and no part or record left over.
struct ResumeCase {
    const char* name;
    loopback::ResumableFile file;  // its first reply is cut after kCut bytes
    bool rangeAsked;               // the second request asks for the rest
    bool appended;                 // and the rest goes after the kept bytes
    std::size_t requests = 2;      // requests of the second download, plus one
    const char* secondPath = "/velmora.zip";
};

void PrintTo(const ResumeCase& c, std::ostream* os) { *os << c.name; }

constexpr std::size_t kCut = 10240;
const std::string kV1 = patternBytes(0, 20000);
const std::string kV2 = patternBytes(7, 20000);
const std::string kShort = patternBytes(3, 5000);
const std::string kDate = "Tue, 01 Dec 2026 10:00:00 GMT";

loopback::ResumableFile resumable(std::vector<loopback::ResumableFile::Version> versions,
                                  loopback::ResumableFile::Ranges ranges = loopback::ResumableFile::Ranges::Honour)
{
    return {std::move(versions), ranges, {kCut}};
}

loopback::ResumableFile refusing(int status)
{
    loopback::ResumableFile file = resumable({{kV1, "\"v1\"", ""}}, loopback::ResumableFile::Ranges::Refuse);
    file.refusal = status;
    return file;
}

class ResumeTest : public DownloadHttpTest, public ::testing::WithParamInterface<ResumeCase> {};

TEST_P(ResumeTest, TheSecondTryAsksOnlyForWhatIsMissingAndNeverSplices)
{
    const ResumeCase& c = GetParam();
    server.serveResumable("/velmora.zip", c.file);
    server.serveResumable("/other.zip", loopback::ResumableFile{{{kV2, "\"o\"", ""}}});
    EXPECT_EQ(download("/velmora.zip"), static_cast<std::int32_t>(kCut));
    EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::CutOff);
    EXPECT_EQ(fileBytes(target), kOldArchive);

    counts.clear();
    sizes.clear();
    const std::string& whole = c.file.versions.back().bytes;
    const std::string& expected = std::string(c.secondPath) == "/velmora.zip" ? whole : kV2;
    EXPECT_EQ(download(c.secondPath), static_cast<std::int32_t>(expected.size()));
    EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Complete);
    EXPECT_TRUE(fileBytes(target) == expected) << "the target is the server's file byte for byte";
    EXPECT_FALSE(std::filesystem::exists(partFilePath(target.string())));
    EXPECT_FALSE(std::filesystem::exists(resumeRecordPath(target.string())));

    const std::vector<loopback::RecordedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), c.requests);
    const loopback::RecordedRequest& second = requests[1];
    EXPECT_EQ(second.header("Range"), c.rangeAsked ? std::optional<std::string>("bytes=10240-") : std::nullopt);
    if (c.requests == 3) {
        EXPECT_FALSE(requests[2].header("Range")) << "a useless answer is followed by a request for the whole file";
    }
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(dl.resumedBytes(), c.appended ? static_cast<std::int32_t>(kCut) : 0);
    // The bar goes on from where it stopped, against the whole length.
    EXPECT_EQ(counts.front() > static_cast<std::int32_t>(kCut), c.appended);
    EXPECT_EQ(sizes.front(), static_cast<std::int32_t>(expected.size()));
}

using Ranges = loopback::ResumableFile::Ranges;

INSTANTIATE_TEST_SUITE_P(
    Resume, ResumeTest,
    ::testing::Values(
        ResumeCase{"GoesOnAfterTheKeptBytes", resumable({{kV1, "\"v1\"", kDate}}), true, true},
        ResumeCase{"GoesOnByLastModifiedWithoutETag", resumable({{kV1, "", kDate}}), true, true},
        ResumeCase{"FileChangedStartsOver", resumable({{kV1, "\"v1\"", ""}, {kV2, "\"v2\"", ""}}), true, false},
        ResumeCase{"ServerIgnoresRangesStartsOver", resumable({{kV1, "\"v1\"", ""}}, Ranges::Ignore), true, false},
        ResumeCase{"WrongOffsetAsksForTheWholeFile", resumable({{kV1, "\"v1\"", ""}}, Ranges::WrongOffset), true,
                   false, 3},
        ResumeCase{"UnsatisfiableAsksForTheWholeFile", resumable({{kV1, "\"v1\"", ""}, {kShort, "\"v1\"", ""}}),
                   true, false, 3},
        // Servers and proxies that refuse ranges, or a connection reset
        // before the head: the whole file is asked for in the same call.
        ResumeCase{"PreconditionFailedAsksForTheWholeFile", refusing(412), true, false, 3},
        ResumeCase{"ForbiddenRangeAsksForTheWholeFile", refusing(403), true, false, 3},
        ResumeCase{"UnimplementedRangeAsksForTheWholeFile", refusing(501), true, false, 3},
        ResumeCase{"ServerErrorAsksForTheWholeFile", refusing(503), true, false, 3},
        ResumeCase{"ResetBeforeTheHeadAsksForTheWholeFile", resumable({{kV1, "\"v1\"", ""}}, Ranges::ResetOnRange),
                   true, false, 3},
        // If-Range ignored after the file changed: the new tail under its new
        // ETag is never joined to the old head.
        ResumeCase{"IfRangeIgnoredAsksForTheWholeFile",
                   resumable({{kV1, "\"v1\"", ""}, {kV2, "\"v2\"", ""}}, Ranges::IgnoreIfRange), true, false, 3},
        ResumeCase{"NoValidatorNoResume", resumable({{kV1, "", ""}}), false, false},
        ResumeCase{"WeakETagNoResume", resumable({{kV1, "W/\"v1\"", ""}}), false, false},
        ResumeCase{"AnotherAddressStartsOver", resumable({{kV1, "\"v1\"", ""}}), false, false, 2, "/other.zip"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora
