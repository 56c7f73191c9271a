// Reading the desktop conventions' window properties (EWMH) over the toolkit's own X
// connection: shared by the reminder windows' window manager conversation and by the
// watch for a full-screen window in front.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace platform::x11 {

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
/// An answer of the X server, freed with it.
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

/// The toolkit's X connection; none when the program does not run on X11.
xcb_connection_t *connection();

xcb_atom_t atom(xcb_connection_t *c, const char *name);

/// A property of 32-bit values (cardinals, windows, atoms); empty when it is not set.
std::vector<uint32_t> readList(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type);

xcb_window_t firstWindow(const std::vector<uint32_t> &list);

/// The window the window manager names as the one the user works in; none without one.
xcb_window_t activeWindow(xcb_connection_t *c, xcb_window_t root);

bool isFullScreen(xcb_connection_t *c, xcb_window_t window);

} // namespace platform::x11
