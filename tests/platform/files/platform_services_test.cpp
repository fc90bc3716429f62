// The Qt-free platform services on the system they were built for: files
// written byte for byte, the program's folder, the time of day.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/byte_file.h"
#include "platform/files/program_folder.h"
#include "platform/system/clock.h"
#include "platform/system/platform_error.h"
#include "tests/support/platform_capabilities.h"
#include "tests/support/test_files.h"
#include "tests/support/test_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Paths in the program are UTF-8 text; std::filesystem needs to be told so.
fs::path utf8Path(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string utf8Text(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

class ByteFileTest : public ::testing::Test {
protected:
    ByteFileTest() { fs::create_directories(folder); }
    ~ByteFileTest() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    std::string path(const std::string& name) const { return utf8Text(folder / utf8Path(name)); }

    const fs::path folder = velmora::test::testPath("velmora-byte-file");
};

TEST_F(ByteFileTest, WritesExactlyTheBytesGivenAndTruncatesWhatStoodThere)
{
    std::string binary;
    for (int i = 0; i < 256; ++i)
        binary += static_cast<char>(i);
    struct Case {
        std::string name;
        std::string before;  // empty: no file there yet
        std::vector<std::string> writes;
    };
    const std::vector<Case> cases = {
        {"new.zip", "", {"PK\x03\x04", std::string(1, '\0'), binary}},
        {"longer.zip", std::string(10000, 'o'), {"short"}},
        {"nothing.zip", "old bytes", {}},
        {"line ends.txt", "", {"a\r\nb\nc\r", "\x1A" "after ctrl-z"}},
        {"更新包.zip", "", {"中文文件名"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.before.empty())
            std::ofstream(utf8Path(path(c.name)), std::ios::binary) << c.before;
        std::string expected;
        auto file = localFileSystem().openForWriting(path(c.name));
        for (const std::string& bytes : c.writes) {
            file->write(bytes.data(), bytes.size());
            expected += bytes;
        }
        file->close();
        file->close();  // a second close does nothing
        EXPECT_EQ(fileBytes(utf8Path(path(c.name))), expected);
    }
}

// A download writes 512-byte blocks and ends with a close, or with a failure
// that destroys the open file: either way every block is in the file.
TEST_F(ByteFileTest, EveryBlockIsInTheFileWhenItIsClosedOrDestroyed)
{
    std::string body;
    for (int i = 0; i < 300 * 1024 + 300; ++i)
        body += static_cast<char>(i * 7 % 251);
    for (const bool closed : {true, false}) {
        SCOPED_TRACE(closed ? "closed" : "destroyed");
        const std::string name = closed ? "closed.zip.part" : "destroyed.zip.part";
        {
            auto file = localFileSystem().openForWriting(path(name));
            for (std::size_t at = 0; at < body.size(); at += 512)
                file->write(body.data() + at, std::min<std::size_t>(512, body.size() - at));
            if (closed)
                file->close();
        }
        EXPECT_EQ(fileBytes(utf8Path(path(name))), body);
    }
}

TEST_F(ByteFileTest, ReplaceSwapsInTheNewFileAndFailuresNameThePath)
{
    std::ofstream(utf8Path(path("Velmora1.0.zip")), std::ios::binary) << "old archive";
    auto part = localFileSystem().openForWriting(path("Velmora1.0.zip.part"));
    part->write("new archive", 11);
    part->close();
    localFileSystem().replace(path("Velmora1.0.zip.part"), path("Velmora1.0.zip"));
    EXPECT_EQ(fileBytes(utf8Path(path("Velmora1.0.zip"))), "new archive");
    EXPECT_FALSE(fs::exists(utf8Path(path("Velmora1.0.zip.part"))));

    const std::string missingFolder = path("no-such-folder") + kPathSeparator + "x.zip";
    struct Case {
        const char* name;
        std::function<void()> attempt;
        std::string pathInAction;
    };
    const std::vector<Case> cases = {
        {"open in a missing folder", [&] { localFileSystem().openForWriting(missingFolder); }, missingFolder},
        {"replace from a missing file", [&] { localFileSystem().replace(path("gone.part"), path("a.zip")); },
         path("gone.part")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.attempt();
            ADD_FAILURE() << "no failure reported";
        } catch (const PlatformError& error) {
            EXPECT_NE(error.action().find(c.pathInAction), std::string::npos) << error.action();
            EXPECT_FALSE(error.reason().empty());
        }
    }
}

TEST_F(ByteFileTest, ReadingGivesTheWholeFileAndLetsItBeReplacedAfterwards)
{
    std::string binary;
    for (int i = 0; i < 70000; ++i)
        binary += static_cast<char>(i * 7);
    const struct {
        std::string name;
        std::string bytes;
    } cases[] = {
        {"empty.zip", ""},
        {"one.zip", std::string(1, '\0')},
        {"across pages.zip", binary},
        {"更新包.zip.part", "中文文件名"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(utf8Path(path(c.name)), std::ios::binary) << c.bytes;
        {
            const auto contents = localFileSystem().openForReading(path(c.name));
            EXPECT_TRUE(contents->bytes() == c.bytes) << contents->bytes().size() << " bytes";
        }
        // Released, the file can take another's place, as a checked download does.
        localFileSystem().replace(path(c.name), path("target.zip"));
        EXPECT_EQ(fileBytes(utf8Path(path("target.zip"))), c.bytes);
    }
    try {
        localFileSystem().openForReading(path("gone.zip.part"));
        ADD_FAILURE() << "no failure reported";
    } catch (const PlatformError& error) {
        EXPECT_NE(error.action().find(path("gone.zip.part")), std::string::npos) << error.action();
        EXPECT_FALSE(error.reason().empty());
    }
}

// One holder at a time, whoever asks (another lockFile in this process is
// refused as another process's is), and nothing left behind once released;
// a lock file left behind read-only is never taken for a holder; a folder
// that cannot hold the lock's file is a failure, not a refusal.
TEST_F(ByteFileTest, ALockHasOneHolderAndGoesWithIt)
{
    for (const std::string name : {"Velmora1.0.zip.part.lock", "更新包.zip.part.lock", "read-only.zip.part.lock"}) {
        SCOPED_TRACE(name);
        if (name.starts_with("read-only")) {
            std::ofstream(utf8Path(path(name)));
            fs::permissions(utf8Path(path(name)), fs::perms::owner_read | fs::perms::group_read);
        }
        std::unique_ptr<FileLock> held;
        try {
            held = localFileSystem().lockFile(path(name));
        } catch (const PlatformError& error) {
            EXPECT_TRUE(name.starts_with("read-only") && !test::locksAReadOnlyLockFile()) << error.what();
            std::error_code ignored;  // writable again, so that the folder can go
            fs::permissions(utf8Path(path(name)), fs::perms::owner_write, fs::perm_options::add, ignored);
            continue;
        }
        ASSERT_NE(held, nullptr);
        EXPECT_EQ(localFileSystem().lockFile(path(name)), nullptr);
        held.reset();
        EXPECT_FALSE(fs::exists(utf8Path(path(name))));
        EXPECT_NE(localFileSystem().lockFile(path(name)), nullptr) << "free again once released";
    }
    EXPECT_THROW(localFileSystem().lockFile(path("no folder/x.lock")), PlatformError);
}

TEST(ProgramFolder, HoldsThisExecutableAndEndsWithoutASeparator)
{
    const std::string folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), kPathSeparator);
    EXPECT_TRUE(fs::is_regular_file(utf8Path(folder) / VELMORA_TEST_EXE_NAME)) << folder;
    EXPECT_EQ(joinPath(folder, "Velmora1.0.zip"), folder + kPathSeparator + "Velmora1.0.zip");
}

double localSecondsOfDay()
{
    // The clock the program reads, not time(): on Linux that is a coarse
    // clock which can still show the second before when the fine one has
    // passed into the next.
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    const std::tm* local = std::localtime(&now);
    return local->tm_hour * 3600.0 + local->tm_min * 60.0 + local->tm_sec;
}

TEST(SystemClock, ReadsTheLocalTimeOfDayWithAFraction)
{
    const double before = localSecondsOfDay();
    const double reading = systemClock().secondsSinceMidnight();
    const double after = localSecondsOfDay();
    if (after < before)
        GTEST_SKIP() << "midnight passed during the reading";
    EXPECT_GE(reading, 0.0);
    EXPECT_LT(reading, 86400.0);
    EXPECT_GE(std::floor(reading), before);
    EXPECT_LE(std::floor(reading), after);
}

}  // namespace
}  // namespace velmora
