#include "tests/support/platform_capabilities.h"

#include <windows.h>

namespace velmora::test {

bool hasGb18030FourByteTable() { return ::IsValidCodePage(54936) != FALSE; }

bool endsStalledHttpReads()
{
    // Wine's ntdll names itself; Windows' has no such entry.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return !ntdll || !::GetProcAddress(ntdll, "wine_get_version");
}

bool locksAReadOnlyLockFile() { return false; }

bool refusesWritingReadOnlyFiles()
{
    wchar_t folder[MAX_PATH + 1]{};
    wchar_t path[MAX_PATH + 1]{};
    if (!::GetTempPathW(MAX_PATH + 1, folder) || !::GetTempFileNameW(folder, L"ro", 0, path))
        return true;
    ::SetFileAttributesW(path, FILE_ATTRIBUTE_READONLY);
    const HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    ::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path);
    return file == INVALID_HANDLE_VALUE;
}

// An administrator's handles obey the read-only attribute: nothing to set aside.
PermissionBitsHold::PermissionBitsHold() = default;
PermissionBitsHold::~PermissionBitsHold() = default;

}  // namespace velmora::test
