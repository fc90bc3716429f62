// The system's error numbers that the user can do something about, as the
// classes the failure dialog has words for.
#include <cerrno>

#include <gtest/gtest.h>

#include "platform/system/platform_error.h"

namespace velmora {
namespace {

TEST(SystemFailureClassTest, ErrnoValuesFallIntoTheClassesTheUserIsToldAbout)
{
    const struct {
        int code;
        FailureClass failureClass;
    } cases[] = {
        {ENOSPC, FailureClass::DiskFull},
        {EDQUOT, FailureClass::DiskFull},
        {EACCES, FailureClass::NoWritePermission},
        {EPERM, FailureClass::NoWritePermission},
        {EROFS, FailureClass::NoWritePermission},
        {ECONNREFUSED, FailureClass::Refused},
        {ECONNRESET, FailureClass::Reset},
        {ETIMEDOUT, FailureClass::TimedOut},
        {ENETUNREACH, FailureClass::NoConnection},
        {EHOSTUNREACH, FailureClass::NoConnection},
        {EISDIR, FailureClass::Unclassified},
        {EIO, FailureClass::Unclassified},
    };
    for (const auto& c : cases)
        EXPECT_EQ(systemFailureClass(static_cast<unsigned long>(c.code)), c.failureClass) << c.code;
}

}  // namespace
}  // namespace velmora
