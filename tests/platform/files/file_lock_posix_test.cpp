// The lock's race with a holder that lets it go: the taker opened the file
// just before the holder removed it, and locks a file that the path no
// longer names. The test binary is linked with --wrap=flock, so that the
// holder's step can be put exactly between the taker's open and its flock.
#include <sys/file.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "platform/files/byte_file.h"
#include "tests/support/test_folder.h"

extern "C" int __real_flock(int fd, int operation);

namespace {

std::function<void()> beforeNextFlock;

}  // namespace

extern "C" int __wrap_flock(int fd, int operation)
{
    if (beforeNextFlock)
        std::exchange(beforeNextFlock, nullptr)();
    return __real_flock(fd, operation);
}

namespace velmora {
namespace {

namespace fs = std::filesystem;

TEST(FileLockPosix, ATakerWhoseFileWasReplacedBeforeItLockedTakesTheFileThePathNames)
{
    const fs::path folder = test::testPath("velmora-file-lock");
    fs::create_directories(folder);
    const std::string path = (folder / "Velmora1.0.zip.part.lock").string();
    int replaced = 0;
    beforeNextFlock = [&] {
        fs::remove(path);  // the holder lets go; another taker makes the file anew
        std::ofstream{path};
        ++replaced;
    };
    const std::unique_ptr<FileLock> held = localFileSystem().lockFile(path);
    ASSERT_EQ(replaced, 1);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(localFileSystem().lockFile(path), nullptr) << "the lock is on the file the path names";
    fs::remove_all(folder);
}

}  // namespace
}  // namespace velmora
