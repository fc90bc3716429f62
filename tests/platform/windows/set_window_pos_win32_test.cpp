// The on-top call on a real Win32 window (under Wine, on an X display): the
// window gains and loses WS_EX_TOPMOST and neither moves nor resizes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/windows/set_window_pos_win32.h"
#include "platform/windows/window_stacking.h"

// The program's own names for the stacking values, taken before windows.h
// turns the same names into USER32's macros.
namespace {
constexpr long kTopmost = velmora::HWND_TOPMOST;
constexpr long kNotTopmost = velmora::HWND_NOTOPMOST;
constexpr unsigned kNoSizeNoMove = velmora::SWP_NOSIZE | velmora::SWP_NOMOVE;
}  // namespace

#include <windows.h>

namespace velmora {
namespace {

static_assert(kNoSizeNoMove == 3 && kNoSizeNoMove == (SWP_NOSIZE | SWP_NOMOVE));

HWND asHandle(long value) { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(value)); }

class TopLevelWindow {
public:
    TopLevelWindow()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VelmoraStackingTest";
        ::RegisterClassW(&windowClass);
        handle_ = ::CreateWindowExW(0, windowClass.lpszClassName, L"更新程序", WS_OVERLAPPEDWINDOW, 100, 120, 400,
                                    300, nullptr, nullptr, windowClass.hInstance, nullptr);
        if (handle_)
            ::ShowWindow(handle_, SW_SHOWNORMAL);
    }
    ~TopLevelWindow()
    {
        if (handle_)
            ::DestroyWindow(handle_);
    }
    TopLevelWindow(const TopLevelWindow&) = delete;
    TopLevelWindow& operator=(const TopLevelWindow&) = delete;

    HWND handle() const { return handle_; }
    std::uintptr_t id() const { return reinterpret_cast<std::uintptr_t>(handle_); }
    bool topmost() const { return (::GetWindowLongW(handle_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    RECT rect() const
    {
        RECT r{};
        ::GetWindowRect(handle_, &r);
        return r;
    }

private:
    HWND handle_ = nullptr;
};

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(SetWindowPos, TheProgramsValuesAreUser32s)
{
    EXPECT_EQ(asHandle(kTopmost), HWND_TOPMOST);
    EXPECT_EQ(asHandle(kNotTopmost), HWND_NOTOPMOST);
}

TEST(SetWindowPos, PinsAndUnpinsWithoutMovingOrResizing)
{
    TopLevelWindow window;
    ASSERT_NE(window.handle(), nullptr);
    ASSERT_FALSE(window.topmost());
    const RECT start = window.rect();
    struct Step {
        long insertAfter;
        bool topmost;
        int x, y, cx, cy;  // ignored under the flags: any values may be passed
    };
    const std::vector<Step> steps = {
        {kTopmost, true, 0, 0, 0, 0},
        {kTopmost, true, 5, 5, 10, 10},
        {kNotTopmost, false, 0, 0, 0, 0},
        {kTopmost, true, -300, 900, 1, 1},
        {kNotTopmost, false, 0, 0, 0, 0},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        const Step& s = steps[i];
        EXPECT_TRUE(callSetWindowPos(window.id(), s.insertAfter, s.x, s.y, s.cx, s.cy, kNoSizeNoMove));
        EXPECT_EQ(window.topmost(), s.topmost);
        EXPECT_TRUE(sameRect(window.rect(), start));
        EXPECT_TRUE(::IsWindowVisible(window.handle()));
    }
}

TEST(SetWindowPos, FailsForAWindowThatDoesNotExist)
{
    HWND gone = nullptr;
    {
        TopLevelWindow window;
        gone = window.handle();
    }
    const std::vector<std::uintptr_t> windows = {0, reinterpret_cast<std::uintptr_t>(gone)};
    for (const std::uintptr_t window : windows) {
        SCOPED_TRACE(window);
        EXPECT_FALSE(callSetWindowPos(window, kTopmost, 0, 0, 0, 0, kNoSizeNoMove));
    }
}

}  // namespace
}  // namespace velmora
