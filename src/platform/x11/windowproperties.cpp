#include "platform/x11/windowproperties.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstring>

namespace platform::x11 {

xcb_connection_t *connection()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<uint32_t> readList(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1024), nullptr));
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto *values = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

xcb_window_t firstWindow(const std::vector<uint32_t> &list)
{
    return list.empty() ? xcb_window_t(XCB_WINDOW_NONE) : list.front();
}

xcb_window_t activeWindow(xcb_connection_t *c, xcb_window_t root)
{
    return firstWindow(readList(c, root, atom(c, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW));
}

bool isFullScreen(xcb_connection_t *c, xcb_window_t window)
{
    const std::vector<uint32_t> state = readList(c, window, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM);
    return std::find(state.begin(), state.end(), atom(c, "_NET_WM_STATE_FULLSCREEN")) != state.end();
}

} // namespace platform::x11
