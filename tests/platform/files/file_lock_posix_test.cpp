// The POSIX side of the lock's cases. The binary runs as any user would, root
// included: root's override of permission bits is set aside, so that a file
// left read-only is read-only to the lock. And it is linked with
// --wrap=flock, so that a holder's release can be put exactly between a
// taker's open and its flock, the race the lock's retry is for.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include "platform/files/byte_file.h"
#include "tests/support/test_folder.h"

extern "C" int __real_flock(int fd, int operation);

namespace {

std::function<void()> beforeNextFlock;

// Capabilities are a thread's own; this is the thread the tests run on.
[[maybe_unused]] const bool permissionBitsHold = [] {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    data[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
    return ::syscall(SYS_capset, &header, data) == 0;
}();

}  // namespace

extern "C" int __wrap_flock(int fd, int operation)
{
    if (beforeNextFlock)
        std::exchange(beforeNextFlock, nullptr)();
    return __real_flock(fd, operation);
}

namespace velmora {
namespace {

TEST(FileLockPosix, ATakerWhoseFileWasReplacedBeforeItLockedTakesTheFileThePathNames)
{
    const std::filesystem::path folder = test::testPath("velmora-file-lock");
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "Velmora1.0.zip.part.lock").string();
    beforeNextFlock = [&] {
        std::filesystem::remove(path);  // the holder lets go; another taker makes the file anew
        std::ofstream{path};
    };
    const std::unique_ptr<FileLock> held = localFileSystem().lockFile(path);
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(beforeNextFlock) << "the holder's step was taken";
    EXPECT_EQ(localFileSystem().lockFile(path), nullptr) << "the lock is on the file the path names";
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace velmora
