#pragma once
// A path of the running test case's own under the test temp folder. CTest
// runs cases side by side, each in its own process: no two may share a fixed
// path, or one's clean-up deletes the other's files.
#include <algorithm>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace velmora::test {

// The build's own scratch folder where it has one, else the system's.
inline std::filesystem::path scratchRoot()
{
#ifdef VELMORA_TEST_TMPDIR
    return VELMORA_TEST_TMPDIR;
#else
    return ::testing::TempDir();
#endif
}

inline std::filesystem::path testPath(const std::string& prefix)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = prefix;
    if (info)
        name += std::string("-") + info->test_suite_name() + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return scratchRoot() / name;
}

}  // namespace velmora::test
