// Other clients' windows on wlroots compositors (sway, Hyprland, labwc, river,
// wayfire), through their foreign-toplevel list: which one is active, its app id
// (for XWayland windows the compositor gives the X11 class instead) and title,
// and requests to maximise and minimise them. GNOME and KDE Plasma do not offer
// the list; there instance() answers null and the X11 code stays in charge.
//
// The list is kept up to date from the compositor's events on a connection of
// its own, read whenever they arrive while an event loop runs and before every
// question, so asking costs no round trip. Main thread only.
#pragma once

#include "window_system.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::linuxport {

// Ids given to Wayland windows. X11 resource ids never set the top three bits,
// so the two kinds of id cannot meet.
constexpr WindowId kWaylandWindowBit = 0xE0000000u;
inline bool isWaylandWindow(WindowId id) { return (id & kWaylandWindowBit) == kWaylandWindowBit; }

struct Toplevel
{
    WindowId id = 0;
    std::string appId; // may be empty (a client that never set one)
    std::string title;
    bool activated = false;
    bool maximized = false;
    bool minimized = false;
    std::uint64_t lastActive = 0; // larger: active more recently; 0: never
};

class ForeignToplevels
{
public:
    // The list of the Wayland display named by WAYLAND_DISPLAY (or the default
    // one); null when there is no display or its compositor offers no list. The
    // first call connects (one blocking round trip); the answer is kept for the
    // life of the process.
    static ForeignToplevels *instance();

    virtual ~ForeignToplevels() = default;

    // The active window; 0 when none is (the desktop in front, or a lock screen).
    virtual WindowId active() = 0;
    // A copy of the window's state; false when there is no such window (any more).
    virtual bool find(WindowId id, Toplevel &out) = 0;
    // Every window, the most recently active first.
    virtual std::vector<Toplevel> all() = 0;

    // Requests; the compositor may refuse them without a word (a tiling
    // compositor such as sway ignores maximise and minimise). False when there
    // is no such window or the connection is gone.
    virtual bool setMaximized(WindowId id, bool maximized) = 0;
    virtual bool setMinimized(WindowId id, bool minimized) = 0;

    // Show desktop: minimises every window that is not, and on the next call
    // restores those of them that are still there.
    virtual void toggleShowDesktop() = 0;
};

} // namespace platform::linuxport
