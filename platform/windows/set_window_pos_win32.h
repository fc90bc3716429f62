#pragma once
// USER32's SetWindowPos on a native window handle, Qt-free, so that the
// on-top call can be tested on a bare Win32 window.
#include <cstdint>

namespace velmora {

// Calls SetWindowPos((HWND)window, (HWND)insertAfter, x, y, cx, cy, flags)
// and returns its result. insertAfter is a handle or one of the special
// values (-1 topmost, -2 not topmost).
bool callSetWindowPos(std::uintptr_t window, long insertAfter, int x, int y, int cx, int cy, unsigned flags);

}  // namespace velmora
