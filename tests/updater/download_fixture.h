#pragma once
// A downloader wired to fakes, with handlers that record what it reports.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/fake_internet.h"
#include "tests/support/fake_message_pump.h"
#include "updater/cls_download.h"

namespace velmora {

struct Progress {
    std::int32_t downloaded;
    std::int32_t filesize;
    std::int32_t speed;
};

inline const std::string kUrl = "http://127.0.0.1:8080/velmora.zip";
inline const std::string kTarget = "/program/Velmora1.0.zip";
inline const std::string kPart = "/program/Velmora1.0.zip.part";
// What stands at the target before a download: it must survive every
// download that does not end whole.
inline const std::string kOldArchive(5000, 'o');

class DownloadFixture : public ::testing::Test {
public:
    DownloadFixture()
    {
        // The handlers scribble on every argument after recording it: a
        // change must not carry into the next notification.
        dl.entDLFileStatus = [this](std::int32_t& code) {
            statuses.push_back(code);
            code = 0;
        };
        dl.entDLFileDowning = [this](std::string& url, std::int32_t& downloaded, std::int32_t& filesize,
                                     std::int32_t& speed) {
            urls.push_back(url);
            progress.push_back({downloaded, filesize, speed});
            filesize = 7;
            speed = 10;
        };
    }

    void serve(FakeResponse response, const std::string& url = kUrl) { internet.respond(url, std::move(response)); }

    std::int32_t run(const std::string& url = kUrl) { return dl.DLFile(url, kTarget); }

    std::vector<std::int32_t> downloadedCounts() const
    {
        std::vector<std::int32_t> counts;
        for (const Progress& p : progress)
            counts.push_back(p.downloaded);
        return counts;
    }

    std::vector<std::int32_t> speeds() const
    {
        std::vector<std::int32_t> values;
        for (const Progress& p : progress)
            values.push_back(p.speed);
        return values;
    }

    // The file at path, or nothing when there is none.
    std::optional<std::string> fileAt(const std::string& path) const
    {
        const auto found = files.files.find(path);
        return found == files.files.end() ? std::nullopt : std::optional<std::string>(found->second);
    }

    void expectAllReleased() const
    {
        EXPECT_EQ(internet.openHandleCount(), 0u);
        EXPECT_EQ(internet.badCalls, 0);
        EXPECT_EQ(files.openCount(), 0);
        EXPECT_FALSE(dl.isDownloading());
    }

    FakeInternet internet;
    FakeClock clock;
    FakeMessagePump pump;
    FakeFileSystem files;
    Cls_DownLoad dl{internet, clock, pump, files};
    std::unique_ptr<FileLock> otherOwner;  // another download's hold on the part
    std::vector<std::int32_t> statuses;
    std::vector<std::string> urls;
    std::vector<Progress> progress;
};

}  // namespace velmora
