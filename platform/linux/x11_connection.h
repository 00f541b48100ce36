// The agent's one connection to the X server, shared by the Linux services that
// talk to it (input, windows, desktop toggle, pointer speed, gamma).
#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <string>

namespace platform::linuxport {

struct XConnection
{
    xcb_connection_t *connection = nullptr;
    xcb_screen_t *screen = nullptr;
    xcb_window_t root = 0;
    xcb_ewmh_connection_t ewmh{};

    // An atom by name, interned once per connection; 0 when the server refuses.
    xcb_atom_t atom(const char *name);
};

// Opens the connection named by $DISPLAY the first time it is asked for and keeps
// it until the process ends. Returns null when there is no X display (Wayland
// without XWayland, a console or a service session): that is logged once, and
// every later call answers null without trying again. Main thread.
XConnection *xConnection();

// Reads a property of `window` as bytes; empty when absent or on error.
std::string windowProperty(XConnection &x, xcb_window_t window, xcb_atom_t property,
                           xcb_atom_t type);

} // namespace platform::linuxport
