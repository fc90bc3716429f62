// The classes of Windows and WinINet error codes that a user can do something
// about, and the error a failed system call makes.
#include <windows.h>
#include <wininet.h>

#include <string>

#include "platform/system/platform_error.h"
#include "platform/system/system_error_win32.h"

namespace velmora {

FailureClass systemFailureClass(unsigned long code)
{
    switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FailureClass::DiskFull;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
        return FailureClass::NoWritePermission;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
        return FailureClass::HostNotFound;
    case ERROR_INTERNET_TIMEOUT:
        return FailureClass::TimedOut;
    // WinINet cannot tell a refused connection from an unreachable server.
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_DISCONNECTED:
        return FailureClass::NoConnection;
    case ERROR_INTERNET_CONNECTION_RESET:
        return FailureClass::Reset;
    case ERROR_INTERNET_CONNECTION_ABORTED:
        return FailureClass::CutOff;
    case ERROR_INTERNET_INVALID_URL:
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
        return FailureClass::BadAddress;
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
    case ERROR_INTERNET_INVALID_OPERATION:
        return FailureClass::BadResponse;
    default:
        return FailureClass::Unclassified;
    }
}

PlatformError systemFailure(std::string action, unsigned long code)
{
    return PlatformError(systemFailureClass(code), std::move(action), systemErrorText(code));
}

}  // namespace velmora
