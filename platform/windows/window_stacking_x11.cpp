#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string_view>

#include <QGuiApplication>
#include <QWidget>

#include "platform/windows/window_stacking.h"

namespace velmora {

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, std::string_view name)
{
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data());
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

xcb_window_t rootOf(xcb_connection_t* connection, xcb_window_t window)
{
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &std::free);
    return geometry ? geometry->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

// Asks the window manager, the keeper of the stacking order on X11, to add or
// remove _NET_WM_STATE_ABOVE. Unlike re-setting Qt's stay-on-top window flag,
// this never unmaps the window, so it neither moves nor flickers.
class X11WindowStacking final : public WindowStacking {
public:
    bool SetWindowPos(QWidget& window, long insertAfter, int x, int y, int cx, int cy,
                      unsigned flags) override;
};

}  // namespace

bool X11WindowStacking::SetWindowPos(QWidget& window, long insertAfter, int, int, int, int, unsigned)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !window.isWindow() || !window.testAttribute(Qt::WA_WState_Created))
        return false;
    xcb_connection_t* connection = x11->connection();
    const auto native = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t above = internAtom(connection, "_NET_WM_STATE_ABOVE");
    const xcb_window_t root = rootOf(connection, native);
    if (state == XCB_ATOM_NONE || above == XCB_ATOM_NONE || root == XCB_WINDOW_NONE)
        return false;

    // The EWMH request to change a mapped window's state: sent to the root
    // window, where the window manager listens for it.
    constexpr uint32_t remove = 0, add = 1, sourceApplication = 1;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = native;
    event.type = state;
    event.data.data32[0] = insertAfter == HWND_TOPMOST ? add : remove;
    event.data.data32[1] = above;
    event.data.data32[2] = 0;
    event.data.data32[3] = sourceApplication;
    const auto cookie = xcb_send_event_checked(
        connection, 0, root,
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&event));
    std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
        xcb_request_check(connection, cookie), &std::free);
    return !error;
}

std::unique_ptr<WindowStacking> createWindowStacking()
{
    return std::make_unique<X11WindowStacking>();
}

}  // namespace velmora
