#include "platform/http/session_wininet.h"

#include <windows.h>
#include <wininet.h>

#include "platform/system/codepage_win32.h"
#include "platform/system/platform_error.h"
#include "platform/system/system_error_win32.h"

namespace velmora {

namespace {

bool setTimeout(HINTERNET handle, DWORD option, std::chrono::milliseconds span)
{
    DWORD milliseconds = static_cast<DWORD>(span.count());
    return ::InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds) != FALSE;
}

}  // namespace

std::unique_ptr<WinInetSession> WinInetSession::open(const std::string& agent, std::uint32_t accessType,
                                                     std::uint32_t flags, const TransferLimits& limits,
                                                     std::string* failure, FailureClass* failureClass)
{
    const std::string ansiAgent = utf8ToAnsi(agent).value_or(agent);
    HINTERNET handle = ::InternetOpenA(ansiAgent.c_str(), accessType, nullptr, nullptr, flags);
    const bool timed = handle && setTimeout(handle, INTERNET_OPTION_CONNECT_TIMEOUT, limits.connect)
                       && setTimeout(handle, INTERNET_OPTION_SEND_TIMEOUT, limits.stall)
                       && setTimeout(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, limits.stall);
    if (!timed) {
        const DWORD error = ::GetLastError();
        if (handle)
            ::InternetCloseHandle(handle);
        if (failure)
            *failure = systemErrorText(error);
        if (failureClass)
            *failureClass = systemFailureClass(error);
        return nullptr;
    }
    return std::make_unique<WinInetSession>(handle);
}

WinInetSession::~WinInetSession() { close(); }

void WinInetSession::close()
{
    if (handle_)
        ::InternetCloseHandle(static_cast<HINTERNET>(handle_));
    handle_ = nullptr;
}

}  // namespace velmora
