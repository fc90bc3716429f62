#include "platform/system/system_error_win32.h"

#include <windows.h>

#include <string_view>

#include "platform/system/codepage_win32.h"

namespace velmora {

namespace {

bool isWinInetError(DWORD code) { return code >= 12000 && code <= 12999; }

std::wstring formatted(DWORD code)
{
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS;
    HMODULE module = nullptr;
    if (isWinInetError(code))
        module = ::GetModuleHandleW(L"wininet.dll");
    flags |= module ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM;
    wchar_t* text = nullptr;
    const DWORD length =
        ::FormatMessageW(flags, module, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
                                message.back() == L'.'))
        message.pop_back();
    return message;
}

}  // namespace

std::string systemErrorText(unsigned long code)
{
    std::string text = wideToUtf8(formatted(code));
    if (text.empty())
        text = "未知错误";
    return text + "（错误 " + std::to_string(code) + "）";
}

}  // namespace velmora
