// What the part file and its record go through on the disk: a program that
// dies between any two steps, or a server that changes the file under a kept
// part, leaves nothing that a later download would join to other bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/updater/download_fixture.h"
#include "updater/resume_record.h"

namespace velmora {
namespace {

const std::string kRecord = kPart + ".resume";
const std::string kBody = [] {
    std::string bytes(2000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>('a' + i % 23);
    return bytes;
}();

// A server with one version of kBody, "v1", that honours ranges.
FakeResponse rangeServer(const std::string&, const std::string& headers)
{
    const std::string asked = "Range: bytes=";
    const auto at = headers.find(asked);
    if (at == std::string::npos || headers.find("If-Range: \"v1\"") == std::string::npos)
        return {false,
                std::to_string(kBody.size()),
                {FakeRead::data(kBody)},
                {{HTTP_QUERY_STATUS_CODE, "200"}, {HTTP_QUERY_ETAG, "\"v1\""}}};
    const std::size_t first = std::stoul(headers.substr(at + asked.size()));
    const std::string rest = kBody.substr(first);
    return {false,
            std::to_string(rest.size()),
            {FakeRead::data(rest)},
            {{HTTP_QUERY_STATUS_CODE, "206"},
             {HTTP_QUERY_ETAG, "\"v1\""},
             {HTTP_QUERY_CONTENT_RANGE,
              "bytes " + std::to_string(first) + "-1999/" + std::to_string(kBody.size())}}};
}

std::size_t indexOf(const std::vector<std::string>& steps, const std::string& step)
{
    return static_cast<std::size_t>(std::find(steps.begin(), steps.end(), step) - steps.begin());
}

class PartFileSteps : public DownloadFixture {
protected:
    PartFileSteps()
    {
        files.files[kTarget] = kOldArchive;
        internet.answer = rangeServer;
    }

    void keepHalf()
    {
        files.files[kPart] = kBody.substr(0, 1000);
        files.files[kRecord] = recordText({kUrl, "\"v1\"", 2000});
    }

    void expectWholeArchive()
    {
        EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Complete);
        EXPECT_TRUE(fileAt(kTarget) == kBody) << "the target is the server's file byte for byte";
        EXPECT_EQ(fileAt(kPart), std::nullopt);
        EXPECT_EQ(fileAt(kRecord), std::nullopt);
    }
};

// Killed at each step of a fresh download and of one that goes on from kept
// bytes: the next run, in a new process, ends with the whole file.
TEST_F(PartFileSteps, AProgramKilledBetweenAnyTwoStepsLeavesWhatTheNextRunCompletes)
{
    for (const bool resuming : {false, true}) {
        for (int step = 1;; ++step) {
            SCOPED_TRACE((resuming ? "going on, killed at step " : "fresh, killed at step ") + std::to_string(step));
            files = FakeFileSystem{};
            files.files[kTarget] = kOldArchive;
            if (resuming)
                keepHalf();
            files.killAtStep = step;
            bool killed = false;
            try {
                Cls_DownLoad(internet, clock, pump, files).DLFile(kUrl, kTarget);
            } catch (const FakeFileSystem::Killed&) {
                killed = true;
            }
            files.killAtStep = 0;
            const std::vector<std::string> stepsOfThatRun = files.steps;
            if (!killed)
                break;  // every step has had its turn
            EXPECT_TRUE(fileAt(kTarget) == kOldArchive || fileAt(kTarget) == kBody);

            EXPECT_EQ(run(), static_cast<std::int32_t>(kBody.size()));
            expectWholeArchive();
            ASSERT_LT(step, 40) << "a download of four blocks takes a handful of steps";
        }
    }
}

// The record is in place before the part's first byte and goes before the
// part is emptied for another version, so that a record on the disk always
// describes the bytes beside it.
TEST_F(PartFileSteps, TheRecordStandsBeforeThePartsFirstByteAndGoesBeforeThePartIsEmptied)
{
    files.files[kPart] = std::string(1000, 's');
    files.files[kRecord] = recordText({kUrl, "\"v0\"", 2000});  // of a version the server no longer has

    EXPECT_EQ(run(), 2000);

    const std::vector<std::string>& steps = files.steps;
    const std::size_t recordGone = indexOf(steps, "remove " + kRecord);
    const std::size_t partEmptied = indexOf(steps, "write " + kPart);
    const std::size_t recordIn = indexOf(steps, "replace " + kRecord + ".new " + kRecord);
    const std::size_t firstByte = indexOf(steps, "put " + kPart);
    ASSERT_LT(firstByte, steps.size());
    EXPECT_LT(recordGone, partEmptied);
    EXPECT_LT(partEmptied, recordIn);
    EXPECT_LT(recordIn, firstByte);
    expectWholeArchive();
}

// A kept part whose range is answered with a new file that names no version:
// the new bytes cannot be resumed, and the old record must not stay beside
// them, or the next try would ask for the old file's rest after them.
TEST_F(PartFileSteps, AStaleRecordGoesWhenTheFileComesBackWithoutValidators)
{
    keepHalf();
    const std::string fresh(1500, 'n');
    internet.answer = [&](const std::string&, const std::string&) {
        return FakeResponse{false,
                            "1500",
                            {FakeRead::data(fresh.substr(0, 512)), FakeRead::failure()},
                            {{HTTP_QUERY_STATUS_CODE, "200"}}};
    };

    run();
    EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::CutOff);
    EXPECT_EQ(fileAt(kRecord), std::nullopt);
    EXPECT_EQ(fileAt(kPart), fresh.substr(0, 512));

    internet.answer = [&](const std::string&, const std::string& headers) {
        EXPECT_EQ(headers, "") << "nothing is asked for after bytes of unknown version";
        return FakeResponse{false, "1500", {FakeRead::data(fresh)}};
    };
    EXPECT_EQ(run(), 1500);
    EXPECT_EQ(fileAt(kTarget), fresh);
}

}  // namespace
}  // namespace velmora
