// The on-top toggle on Windows: SetWindowPos on the widget's native window,
// which keeps its place and size under SWP_NOSIZE | SWP_NOMOVE.
#include <QWidget>

#include "platform/windows/set_window_pos_win32.h"
#include "platform/windows/window_stacking.h"

namespace velmora {

namespace {

class Win32WindowStacking final : public WindowStacking {
public:
    bool SetWindowPos(QWidget& window, long insertAfter, int x, int y, int cx, int cy, unsigned flags) override
    {
        // winId() would create a native window for a widget that has none;
        // a window that was never shown has nothing to stack yet.
        if (!window.isWindow() || !window.testAttribute(Qt::WA_WState_Created))
            return false;
        return callSetWindowPos(static_cast<std::uintptr_t>(window.winId()), insertAfter, x, y, cx, cy, flags);
    }
};

}  // namespace

std::unique_ptr<WindowStacking> createWindowStacking()
{
    return std::make_unique<Win32WindowStacking>();
}

}  // namespace velmora
