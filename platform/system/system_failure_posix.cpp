// The classes of errno values that a user can do something about, and the
// error a failed system call makes.
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/system/platform_error.h"

namespace velmora {

FailureClass systemFailureClass(unsigned long code)
{
    switch (static_cast<int>(code)) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FailureClass::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return FailureClass::NoWritePermission;
    case ECONNREFUSED:
        return FailureClass::Refused;
    case ECONNRESET:
    case EPIPE:
        return FailureClass::Reset;
    case ETIMEDOUT:
        return FailureClass::TimedOut;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
        return FailureClass::NoConnection;
    default:
        return FailureClass::Unclassified;
    }
}

PlatformError systemFailure(std::string action, unsigned long code)
{
    return PlatformError(systemFailureClass(code), std::move(action), std::strerror(static_cast<int>(code)));
}

}  // namespace velmora
