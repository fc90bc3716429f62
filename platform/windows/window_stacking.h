#pragma once
// Keeps a top-level window above the windows of other programs.
#include <memory>

class QWidget;

namespace velmora {

inline constexpr long HWND_TOPMOST = -1;
inline constexpr long HWND_NOTOPMOST = -2;
inline constexpr unsigned SWP_NOSIZE = 0x0001;
inline constexpr unsigned SWP_NOMOVE = 0x0002;

class WindowStacking {
public:
    virtual ~WindowStacking() = default;
    // Places window in the stacking order after insertAfter (HWND_TOPMOST or
    // HWND_NOTOPMOST). With SWP_NOSIZE | SWP_NOMOVE the position and size
    // arguments are ignored and the window neither moves nor resizes, and is
    // never hidden and shown again. Returns false when the window system
    // refused or the window has no native window yet.
    virtual bool SetWindowPos(QWidget& window, long insertAfter, int x, int y, int cx, int cy,
                              unsigned flags) = 0;
};

// The platform's own: the window manager's _NET_WM_STATE_ABOVE on X11,
// SetWindowPos on Windows.
std::unique_ptr<WindowStacking> createWindowStacking();

}  // namespace velmora
