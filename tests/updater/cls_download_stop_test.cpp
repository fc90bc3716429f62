#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "tests/updater/download_fixture.h"
#include "platform/system/platform_error.h"

namespace velmora {
namespace {

using Codes = std::vector<std::int32_t>;

FakeResponse blocks(int count, const char* length = nullptr)
{
    FakeResponse response;
    if (length)
        response.contentLength = length;
    for (int i = 0; i < count; ++i)
        response.reads.push_back(FakeRead::block(512, static_cast<char>('a' + i)));
    return response;
}

enum class Throws { Nothing, DownloadError, PlatformError };

struct FailureCase {
    const char* name;
    std::function<void(DownloadFixture&)> arrange;
    Codes statuses;
    Throws throws;
    DownloadOutcome outcome;  // when nothing is thrown
    int filesOpened;
    std::size_t bytesInPart;  // what the part file holds afterwards
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class FailureTest : public DownloadFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, EndsWithTheStatusesOfItsFailureAndReleasesEverything)
{
    const FailureCase& c = GetParam();
    files.files[kTarget] = kOldArchive;
    c.arrange(*this);

    switch (c.throws) {
    case Throws::Nothing:
        EXPECT_EQ(run(), 0);
        EXPECT_EQ(dl.lastOutcome(), c.outcome);
        break;
    case Throws::DownloadError:
        EXPECT_THROW(run(), DownloadError);
        break;
    case Throws::PlatformError:
        EXPECT_THROW(run(), PlatformError);
        break;
    }
    EXPECT_EQ(statuses, c.statuses);
    EXPECT_EQ(static_cast<int>(files.opened.size()), c.filesOpened);
    if (c.filesOpened > 0) {
        EXPECT_EQ(files.files[kPart].size(), c.bytesInPart);
    }
    EXPECT_EQ(fileAt(kTarget), kOldArchive);
    expectAllReleased();

    // The same instance downloads again once the fault is gone.
    internet.sessionFails = false;
    otherOwner.reset();
    files.failOpen = files.failFlush = files.failClose = files.failReplace = false;
    files.failWriteNumber = 0;
    dl.entDLFileDowning = nullptr;
    serve(blocks(1, "512"));
    EXPECT_EQ(run(), 512);
    EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Complete);
    EXPECT_EQ(fileAt(kTarget), std::string(512, 'a'));
    EXPECT_EQ(fileAt(kPart), std::nullopt);
}

void overwriteCountWithNearMaximum(std::string&, std::int32_t& downloaded, std::int32_t&, std::int32_t&)
{
    downloaded = std::numeric_limits<std::int32_t>::max() - 100;
}

INSTANTIATE_TEST_SUITE_P(
    Cls_DownLoad, FailureTest,
    ::testing::Values(
        FailureCase{"ConnectFails",
                    [](DownloadFixture& f) {
                        f.serve(blocks(1));
                        f.internet.sessionFails = true;
                    },
                    {1, 7}, Throws::Nothing, DownloadOutcome::ConnectFailed, 0, 0},
        // The backend refuses an error status (404 with its error page) the same way.
        FailureCase{"RequestRefused", [](DownloadFixture& f) { f.serve({true, "100", {}}); }, {1, 2, 8, 6},
                    Throws::Nothing, DownloadOutcome::RequestFailed, 0, 0},
        // Another window's download owns the part: nothing is asked or touched.
        FailureCase{"AnotherDownloadOwnsThePart",
                    [](DownloadFixture& f) {
                        f.serve(blocks(1));
                        f.otherOwner = f.files.lockFile(kPart + ".lock");
                    },
                    {1, 2, 8, 6}, Throws::Nothing, DownloadOutcome::TargetBusy, 0, 0},
        FailureCase{"LengthBeyond32Bits", [](DownloadFixture& f) { f.serve(blocks(1, "2147483648")); },
                    {1, 2, 3}, Throws::DownloadError, DownloadOutcome::None, 0, 0},
        FailureCase{"TargetCannotBeOpened",
                    [](DownloadFixture& f) {
                        f.serve(blocks(1));
                        f.files.failOpen = true;
                    },
                    {1, 2, 3, 4}, Throws::PlatformError, DownloadOutcome::None, 1, 0},
        FailureCase{"SecondWriteFails",
                    [](DownloadFixture& f) {
                        f.serve(blocks(3));
                        f.files.failWriteNumber = 2;
                    },
                    {1, 2, 3, 4}, Throws::PlatformError, DownloadOutcome::None, 1, 512},
        // The last blocks wait in the file's buffer; a disk that refuses
        // them fails the call before its ending is reported, as a refused
        // write does.
        FailureCase{"LastFlushFails",
                    [](DownloadFixture& f) {
                        f.serve(blocks(2, "1024"));
                        f.files.failFlush = true;
                    },
                    {1, 2, 3, 4}, Throws::PlatformError, DownloadOutcome::None, 1, 1024},
        FailureCase{"CloseLosesData",
                    [](DownloadFixture& f) {
                        f.serve(blocks(2));
                        f.files.failClose = true;
                    },
                    {1, 2, 3, 4, 9}, Throws::PlatformError, DownloadOutcome::None, 1, 1024},
        FailureCase{"PartCannotReplaceTarget",
                    [](DownloadFixture& f) {
                        f.serve(blocks(2, "1024"));
                        f.files.failReplace = true;
                    },
                    {1, 2, 3, 4, 9}, Throws::PlatformError, DownloadOutcome::None, 1, 1024},
        FailureCase{"CountWouldPass32Bits",
                    [](DownloadFixture& f) {
                        f.serve(blocks(3));
                        f.dl.entDLFileDowning = overwriteCountWithNearMaximum;
                    },
                    {1, 2, 3, 4}, Throws::DownloadError, DownloadOutcome::None, 1, 512}),
    [](const auto& info) { return std::string(info.param.name); });

enum class StopFrom { Idle, ProgressHandler, Yield };

struct StopCase {
    const char* name;
    StopFrom from;
    int atBlock;  // the block whose notification or yield asks to stop
    std::int32_t result;
    Codes statuses;
    DownloadOutcome outcome;
    int yields;
    std::int32_t nextResult;  // of the following download of the same four blocks
    DownloadOutcome nextOutcome;
};

// The file that holds a download's bytes once it has ended that way.
const std::string& holderOf(DownloadOutcome outcome)
{
    return outcome == DownloadOutcome::Complete ? kTarget : kPart;
}

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class StopTest : public DownloadFixture, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopTest, EndsAfterTheBlockThatSeesTheRequest)
{
    const StopCase& c = GetParam();
    files.files[kTarget] = kOldArchive;
    serve(blocks(4, "2048"));
    const auto record = dl.entDLFileDowning;
    int block = 0;
    const auto stop = [&] { EXPECT_EQ(dl.DLFileStop(), 0); };
    if (c.from == StopFrom::Idle)
        stop();
    if (c.from == StopFrom::ProgressHandler)
        dl.entDLFileDowning = [&](std::string& url, std::int32_t& done, std::int32_t& size, std::int32_t& speed) {
            record(url, done, size, speed);
            if (++block == c.atBlock)
                stop();
        };
    if (c.from == StopFrom::Yield)
        pump.onDoEvents = [&](int call) {
            if (call == c.atBlock)
                stop();
        };

    EXPECT_EQ(run(), c.result);
    EXPECT_EQ(statuses, c.statuses);
    EXPECT_EQ(dl.lastOutcome(), c.outcome);
    EXPECT_EQ(pump.calls(), c.yields);
    // A stopped download keeps its bytes in the part file and the old archive
    // at the target.
    EXPECT_EQ(static_cast<std::int32_t>(fileAt(holderOf(c.outcome)).value_or("").size()), c.result);
    if (c.outcome != DownloadOutcome::Complete) {
        EXPECT_EQ(fileAt(kTarget), kOldArchive);
    }
    expectAllReleased();

    dl.entDLFileDowning = record;
    pump.onDoEvents = nullptr;
    EXPECT_EQ(run(), c.nextResult);
    EXPECT_EQ(dl.lastOutcome(), c.nextOutcome);
    EXPECT_EQ(static_cast<std::int32_t>(fileAt(holderOf(c.nextOutcome)).value_or("").size()), c.nextResult);
}

const Codes kStopped = {1, 2, 3, 4, 5, 6};
const Codes kReadToEnd = {1, 2, 3, 4, 9, 6};

INSTANTIATE_TEST_SUITE_P(
    Cls_DownLoad, StopTest,
    ::testing::Values(
        StopCase{"RequestedWhileIdle", StopFrom::Idle, 0, 512, kStopped, DownloadOutcome::Stopped, 0, 2048,
                 DownloadOutcome::Complete},
        StopCase{"FromProgressHandler", StopFrom::ProgressHandler, 2, 1024, kStopped, DownloadOutcome::Stopped,
                 1, 2048, DownloadOutcome::Complete},
        StopCase{"DuringYield", StopFrom::Yield, 2, 1536, kStopped, DownloadOutcome::Stopped, 2, 2048,
                 DownloadOutcome::Complete},
        // The body ends before another block sees the request, so it waits
        // for the next download.
        StopCase{"DuringLastYield", StopFrom::Yield, 4, 2048, kReadToEnd, DownloadOutcome::Complete, 4, 512,
                 DownloadOutcome::Stopped}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloadFixture, RefusesASecondDownloadWhileOneRuns)
{
    serve(blocks(2, "1024"));
    int refusals = 0;
    pump.onDoEvents = [&](int) {
        EXPECT_TRUE(dl.isDownloading());
        const std::size_t statusesBefore = statuses.size();
        EXPECT_THROW(dl.DLFile(kUrl, kTarget), DownloadError);
        EXPECT_EQ(statuses.size(), statusesBefore);
        ++refusals;
    };

    EXPECT_EQ(run(), 1024);
    EXPECT_EQ(refusals, 2);
    EXPECT_EQ(statuses, kReadToEnd);
    EXPECT_EQ(internet.handlesOpened(), 2);
    EXPECT_EQ(files.opened.size(), 1u);
    EXPECT_EQ(files.files[kTarget].size(), 1024u);
    EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Complete);
    expectAllReleased();
}

}  // namespace
}  // namespace velmora
