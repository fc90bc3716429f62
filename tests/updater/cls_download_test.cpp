#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/updater/download_fixture.h"
#include "updater/resume_record.h"

namespace velmora {
namespace {

using Codes = std::vector<std::int32_t>;
const Codes kReadToEnd = {1, 2, 3, 4, 9, 6};

struct BodyCase {
    const char* name;
    std::optional<std::string> contentLength;
    std::vector<FakeRead> reads;
    Codes downloaded;  // lDownLoaded of each progress notification
    std::int32_t filesize;
    DownloadOutcome outcome;
    bool targetExists = true;  // an older, longer file stands at the target
};

void PrintTo(const BodyCase& c, std::ostream* os) { *os << c.name; }

class BodyTest : public DownloadFixture, public ::testing::WithParamInterface<BodyCase> {};

TEST_P(BodyTest, WritesTheBodyBlockByBlock)
{
    const BodyCase& c = GetParam();
    if (c.targetExists)
        files.files[kTarget] = kOldArchive;
    std::string body;
    for (const FakeRead& read : c.reads)
        body += read.bytes;
    serve({false, c.contentLength, c.reads});

    const std::int32_t result = run();

    EXPECT_EQ(result, c.downloaded.empty() ? 0 : c.downloaded.back());
    EXPECT_EQ(statuses, kReadToEnd);
    EXPECT_EQ(downloadedCounts(), c.downloaded);
    for (const Progress& p : progress)
        EXPECT_EQ(p.filesize, c.filesize);
    EXPECT_EQ(urls, std::vector<std::string>(progress.size(), kUrl));
    // Only a whole body takes the target's place; any other keeps the old
    // archive (or none) there and leaves its bytes in the part file.
    const bool whole = c.outcome == DownloadOutcome::Complete;
    const std::optional<std::string> before = c.targetExists ? std::optional(kOldArchive) : std::nullopt;
    EXPECT_EQ(fileAt(kTarget), whole ? std::optional(body) : before);
    EXPECT_EQ(fileAt(kPart), whole ? std::nullopt : std::optional(body));
    EXPECT_EQ(files.opened, std::vector<std::string>{kPart});
    EXPECT_EQ(files.replaced.size(), whole ? 1u : 0u);
    EXPECT_EQ(files.writeCount(), static_cast<int>(progress.size()));
    EXPECT_EQ(pump.calls(), static_cast<int>(progress.size()));
    EXPECT_EQ(internet.readSizes, std::vector<std::uint32_t>(progress.size() + 1, 512u));
    EXPECT_EQ(dl.lastOutcome(), c.outcome);
    EXPECT_EQ(files.closedCount(), 1);
    expectAllReleased();
}

const std::string k1000 = std::string(512, 'a') + std::string(488, 'b');

INSTANTIATE_TEST_SUITE_P(
    Cls_DownLoad, BodyTest,
    ::testing::Values(
        BodyCase{"EmptyBody", "0", {}, {}, 0, DownloadOutcome::Complete, false},
        BodyCase{"EmptyBodyOverAnArchive", "0", {}, {}, 0, DownloadOutcome::Complete},
        BodyCase{"Exactly512", "512", {FakeRead::block(512)}, {512}, 512, DownloadOutcome::Complete},
        BodyCase{"Blocks512And488", "1000", {FakeRead::block(512, 'a'), FakeRead::block(488, 'b')},
                 {512, 1000}, 1000, DownloadOutcome::Complete},
        BodyCase{"ArrivesAtOnce", "1000", {FakeRead::data(k1000)}, {512, 1000}, 1000,
                 DownloadOutcome::Complete},
        BodyCase{"ShortBlockMidBody", "1836",
                 {FakeRead::block(512, 'a'), FakeRead::block(300, 'b'), FakeRead::block(1024, 'c')},
                 {512, 812, 1324, 1836}, 1836, DownloadOutcome::Complete},
        BodyCase{"NoContentLength", std::nullopt, {FakeRead::block(512), FakeRead::block(100)},
                 {512, 612}, 0, DownloadOutcome::Complete},
        BodyCase{"LengthNotANumber", "abc", {FakeRead::block(10)}, {10}, 0, DownloadOutcome::Complete},
        BodyCase{"ReadFailsMidBody", "1000", {FakeRead::block(512), FakeRead::failure()}, {512}, 1000,
                 DownloadOutcome::CutOff},
        BodyCase{"ReadFailsWithoutLength", std::nullopt, {FakeRead::block(512), FakeRead::failure()},
                 {512}, 0, DownloadOutcome::CutOff},
        BodyCase{"FirstReadFails", "1000", {FakeRead::failure()}, {}, 1000, DownloadOutcome::CutOff, false},
        BodyCase{"EndsShortOfLength", "1000", {FakeRead::block(512)}, {512}, 1000, DownloadOutcome::CutOff},
        BodyCase{"RunsPastLength", "100", {FakeRead::block(512)}, {512}, 100, DownloadOutcome::CutOff}),
    [](const auto& info) { return std::string(info.param.name); });

struct SpeedCase {
    const char* name;
    std::vector<double> readings;  // the start, then one per block
    std::vector<std::size_t> blocks;
    Codes speeds;
};

void PrintTo(const SpeedCase& c, std::ostream* os) { *os << c.name; }

class SpeedTest : public DownloadFixture, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(SpeedTest, ReportsTheAverageOverWholeSeconds)
{
    const SpeedCase& c = GetParam();
    FakeResponse response;
    for (std::size_t size : c.blocks)
        response.reads.push_back(FakeRead::block(size));
    serve(response);
    clock.script(c.readings);

    run();

    EXPECT_EQ(speeds(), c.speeds);
    EXPECT_EQ(clock.reads(), static_cast<int>(c.readings.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cls_DownLoad, SpeedTest,
    ::testing::Values(
        SpeedCase{"UnderHalfASecond", {100.4, 100.45, 100.6}, {512, 512}, {1025, 1024}},
        SpeedCase{"StartHalfGoesToEven", {100.5, 101.5, 103.5}, {512, 512}, {256, 256}},
        SpeedCase{"SpeedHalfGoesToEven", {10, 12, 12}, {125, 250}, {62, 188}},
        SpeedCase{"PastMidnight", {86399.2, 86399.9, 0.8, 2.6}, {512, 512, 512}, {512, 512, 384}},
        SpeedCase{"ClockSetBack", {1000, 1002, 999}, {512, 512}, {256, 1025}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloadFixture, AsksForTheResourceTheWayWinInetIsAsked)
{
    serve({false, "512", {FakeRead::block(512)}});
    run();

    EXPECT_EQ(internet.agent, "VB Http");
    EXPECT_EQ(internet.accessType, INTERNET_OPEN_TYPE_PRECONFIG);
    EXPECT_EQ(internet.sessionFlags, 0u);
    EXPECT_EQ(internet.urlsOpened, std::vector<std::string>{kUrl});
    EXPECT_EQ(internet.urlFlags, std::vector<std::uint32_t>{INTERNET_FLAG_RELOAD});
    // The length first, as WinINet is asked. What identifies the file for
    // a later resume is asked after it; the resume tests pin what is kept.
    ASSERT_FALSE(internet.queries.empty());
    EXPECT_EQ(internet.queries[0].infoLevel, HTTP_QUERY_CONTENT_LENGTH);
    EXPECT_EQ(internet.queries[0].bufferLength, 512u);
    EXPECT_EQ(internet.queries[0].index, 0u);
    EXPECT_TRUE(internet.queries[0].bufferWasEmpty);
    // The request handle goes before the session it belongs to.
    EXPECT_EQ(internet.closedHandles, (std::vector<InternetHandle>{2, 1}));
    EXPECT_EQ(files.opened, std::vector<std::string>{kPart});
    EXPECT_EQ(files.replaced, (std::vector<std::pair<std::string, std::string>>{{kPart, kTarget}}));
}

// Going on from 4096 kept bytes of 5120: the counts and the length are the
// whole file's, the speed is this call's bytes over this call's time.
TEST_F(DownloadFixture, AContinuedDownloadCountsTheKeptBytesButNotInItsSpeed)
{
    files.files[kPart] = std::string(4096, 'k');
    files.files[kPart + ".resume"] = recordText({kUrl, "\"v1\"", 5120});
    FakeResponse rest{false, "1024", {FakeRead::block(512), FakeRead::block(512)}};
    rest.headers = {{HTTP_QUERY_STATUS_CODE, "206"},
                    {HTTP_QUERY_CONTENT_RANGE, "bytes 4096-5119/5120"},
                    {HTTP_QUERY_ETAG, "\"v1\""}};
    serve(rest);
    clock.script({100, 102, 104});

    EXPECT_EQ(run(), 5120);

    EXPECT_EQ(internet.urlHeaders, std::vector<std::string>{"Range: bytes=4096-\r\nIf-Range: \"v1\"\r\n"});
    EXPECT_EQ(downloadedCounts(), (std::vector<std::int32_t>{4608, 5120}));
    EXPECT_EQ(progress.front().filesize, 5120);
    EXPECT_EQ(speeds(), (std::vector<std::int32_t>{256, 256}));
    EXPECT_EQ(fileAt(kTarget), std::string(4096, 'k') + std::string(1024, 'x'));
    EXPECT_EQ(fileAt(kPart + ".resume"), std::nullopt);
}

TEST_F(DownloadFixture, ClosesFileAndHandlesBeforeFinishing)
{
    serve({false, "512", {FakeRead::block(512)}});
    files.files[kTarget] = kOldArchive;
    struct Seen {
        std::int32_t code;
        int openFiles;
        std::size_t openHandles;
        DownloadOutcome outcome;
        std::optional<std::string> target;
    };
    std::vector<Seen> seen;
    dl.entDLFileStatus = [&](std::int32_t& code) {
        seen.push_back({code, files.openCount(), internet.openHandleCount(), dl.lastOutcome(), fileAt(kTarget)});
    };
    run();

    ASSERT_EQ(seen.size(), 6u);
    const Seen& beforeFile = seen[3];
    const Seen& endOfData = seen[4];
    const Seen& finished = seen[5];
    EXPECT_EQ(beforeFile.openFiles, 0);
    EXPECT_EQ(endOfData.openFiles, 1);
    EXPECT_EQ(endOfData.openHandles, 2u);
    EXPECT_EQ(endOfData.outcome, DownloadOutcome::Complete);
    EXPECT_EQ(endOfData.target, kOldArchive);
    EXPECT_EQ(finished.openFiles, 0);
    EXPECT_EQ(finished.openHandles, 0u);
    EXPECT_EQ(finished.target, std::string(512, 'x'));
}

}  // namespace
}  // namespace velmora
