#include "platform/session_wininet.h"

#include <windows.h>
#include <wininet.h>

#include "platform/codepage_win32.h"
#include "platform/system_error_win32.h"

namespace velmora {

std::unique_ptr<WinInetSession> WinInetSession::open(const std::string& agent, std::uint32_t accessType,
                                                     std::uint32_t flags, std::string* failure)
{
    const std::string ansiAgent = utf8ToAnsi(agent).value_or(agent);
    HINTERNET handle = ::InternetOpenA(ansiAgent.c_str(), accessType, nullptr, nullptr, flags);
    if (!handle) {
        if (failure)
            *failure = systemErrorText(::GetLastError());
        return nullptr;
    }
    return std::make_unique<WinInetSession>(handle);
}

WinInetSession::~WinInetSession()
{
    ::InternetCloseHandle(static_cast<HINTERNET>(handle_));
}

}  // namespace velmora
