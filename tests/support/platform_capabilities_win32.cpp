#include "tests/support/platform_capabilities.h"

#include <windows.h>

namespace velmora::test {

bool hasGb18030FourByteTable() { return ::IsValidCodePage(54936) != FALSE; }

namespace {

bool underWine()
{
    // Wine's ntdll names itself; Windows' has no such entry.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace

bool endsStalledHttpReads() { return !underWine(); }

bool reportsEarlyResets() { return !underWine(); }

bool locksAReadOnlyLockFile() { return false; }

}  // namespace velmora::test
