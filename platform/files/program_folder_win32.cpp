#include <windows.h>

#include <string>

#include "platform/files/program_folder.h"
#include "platform/system/codepage_win32.h"
#include "platform/system/platform_error.h"
#include "platform/system/system_error_win32.h"

namespace velmora {

namespace {

// The executable's full path; long paths need a larger buffer than MAX_PATH.
std::wstring modulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0)
            throw PlatformError("无法确定程序所在的文件夹", systemErrorText(::GetLastError()));
        if (length < size) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

const char kPathSeparator = '\\';

std::string programFolder()
{
    const std::wstring path = modulePath();
    const auto separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        throw PlatformError("无法确定程序所在的文件夹", "路径中没有文件夹：" + wideToUtf8(path));
    // A drive's root keeps its separator ("C:\"), as "/" does on POSIX:
    // "C:" alone would name the drive's current folder.
    const bool driveRoot = separator == 2 && path[1] == L':';
    return wideToUtf8(path.substr(0, driveRoot ? separator + 1 : separator));
}

}  // namespace velmora
