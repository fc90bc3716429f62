#include "platform/windows/set_window_pos_win32.h"

#include <windows.h>

namespace velmora {

bool callSetWindowPos(std::uintptr_t window, long insertAfter, int x, int y, int cx, int cy, unsigned flags)
{
    // The special insert-after values are small negative numbers cast to a
    // handle, as USER32 defines HWND_TOPMOST and HWND_NOTOPMOST.
    const auto after = reinterpret_cast<HWND>(static_cast<std::intptr_t>(insertAfter));
    return ::SetWindowPos(reinterpret_cast<HWND>(window), after, x, y, cx, cy, flags) != FALSE;
}

}  // namespace velmora
