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

}  // namespace velmora::test
