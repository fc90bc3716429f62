// Where the archive goes when the program's folder is the system's: the
// user's data folder as the XDG base directories name it, made when missing,
// and the test of whether a folder can be written.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/files/user_folder.h"
#include "platform/system/platform_error.h"
#include "tests/support/test_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class UserFolderTest : public ::testing::Test {
protected:
    UserFolderTest() { fs::create_directories(home); }
    ~UserFolderTest() override
    {
        restore("HOME", oldHome_);
        restore("XDG_DATA_HOME", oldData_);
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    static std::optional<std::string> saved(const char* name)
    {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void restore(const char* name, const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    const fs::path root = velmora::test::testPath("velmora-user-folder");
    const fs::path home = root / "home" / "用户";

private:
    std::optional<std::string> oldHome_ = saved("HOME");
    std::optional<std::string> oldData_ = saved("XDG_DATA_HOME");
};

TEST_F(UserFolderTest, TheDataHomeWhenItIsAbsoluteElseTheDefaultUnderHome)
{
    const std::string defaultPath = (home / ".local/share/velmora").string();
    const std::string elsewhere = (root / "data").string();
    const struct {
        const char* name;
        std::optional<std::string> dataHome;  // nothing: unset
        std::string path;
        std::string shown;
    } cases[] = {
        {"Unset", std::nullopt, defaultPath, "~/.local/share/velmora"},
        {"Empty", "", defaultPath, "~/.local/share/velmora"},
        {"Relative", "data", defaultPath, "~/.local/share/velmora"},
        {"UnderHome", (home / "my data/").string(), (home / "my data/velmora").string(), "~/my data/velmora"},
        {"Elsewhere", elsewhere, elsewhere + "/velmora", elsewhere + "/velmora"},
    };
    ::setenv("HOME", (home.string() + "/").c_str(), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restore("XDG_DATA_HOME", c.dataHome);
        const UserFolder folder = userFolder();
        EXPECT_EQ(folder.path, c.path);
        EXPECT_EQ(folder.shown, c.shown);
        struct stat info {};
        ASSERT_EQ(::stat(c.path.c_str(), &info), 0) << "the folder is made";
        EXPECT_EQ(info.st_mode & 0777, 0700u) << "and is the user's alone";
        EXPECT_EQ(userFolder().path, c.path) << "a second time finds it there";
    }
}

TEST_F(UserFolderTest, NoFolderWithoutAnAbsoluteHomeOrWhereNoneCanBeMade)
{
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("HOME");
    EXPECT_THROW(userFolder(), PlatformError);
    // A file where the data home's folder belongs.
    fs::create_directories(root);
    std::ofstream(root / "file") << "not a folder";
    ::setenv("XDG_DATA_HOME", (root / "file").c_str(), 1);
    EXPECT_THROW(userFolder(), PlatformError);
}

TEST_F(UserFolderTest, AFolderCanBeWrittenOnlyWhereAFileCanBeMade)
{
    EXPECT_TRUE(canCreateFilesIn(home.string()));
    EXPECT_TRUE(fs::is_empty(home)) << "the probe is gone";
    // Not even root makes files in /proc; nor anyone in a folder that is not there.
    EXPECT_FALSE(canCreateFilesIn("/proc"));
    EXPECT_FALSE(canCreateFilesIn((root / "missing").string()));
}

}  // namespace
}  // namespace velmora
