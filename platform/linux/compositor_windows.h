// Other clients' windows as a Wayland compositor knows them, native Wayland
// windows and XWayland ones alike: which one is active, its app id (for an
// XWayland window the compositor gives the X11 class instead) and title, and
// requests to maximise and minimise them. One backend per compositor family:
//  - wlroots compositors (sway, Hyprland, labwc, river, wayfire): their
//    foreign-toplevel list (wlr_toplevels.cpp);
//  - KDE Plasma 5.27 and 6: a KWin script of ours, loaded through KWin's
//    scripting interface, that reports every activation over D-Bus; the window
//    actions are short scripts run for each (kwin_windows.cpp);
//  - GNOME Shell: our Shell extension, which exports the window in front and the
//    actions on the session bus (gnome_windows.cpp).
// Elsewhere (X11 sessions, other compositors) instance() answers null and the
// X11 code stays in charge.
//
// The state is kept up to date from the compositor's messages, read whenever
// they arrive while an event loop runs (and, for the wlroots list, before every
// question for the active window or the list), so asking costs no round trip.
// Main thread only.
#pragma once

#include "window_system.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::linuxport {

// Ids given to Wayland windows. X11 resource ids never set the top three bits,
// so the two kinds of id cannot meet.
constexpr WindowId kWaylandWindowBit = 0xE0000000u;
inline bool isWaylandWindow(WindowId id) { return (id & kWaylandWindowBit) == kWaylandWindowBit; }

struct CompositorWindow
{
    WindowId id = 0;
    std::string appId; // may be empty (a client that never set one)
    std::string title;
    bool activated = false;
    bool maximized = false;
    bool minimized = false;
    std::uint64_t lastActive = 0; // larger: active more recently; 0: never
};

class CompositorWindows
{
public:
    // The windows of the Wayland session's compositor; null when there is no
    // Wayland display (WAYLAND_DISPLAY) or its compositor is of no family above.
    // The first call connects (a few blocking round trips); the answer is kept
    // for the life of the process.
    static CompositorWindows *instance();
    // instance() while its compositor answers; null while it does not (GNOME
    // before our extension is enabled), when the X11 code still sees the
    // XWayland windows.
    static CompositorWindows *answering();

    virtual ~CompositorWindows() = default;

    // Whether the compositor answers now.
    virtual bool isAnswering() const { return true; }

    // The active window; 0 when none is (the desktop in front, or a lock screen).
    virtual WindowId active() = 0;
    // A copy of the window's state; false when there is no such window (any more).
    virtual bool find(WindowId id, CompositorWindow &out) = 0;
    // Every window, the most recently active first.
    virtual std::vector<CompositorWindow> all() = 0;

    // Requests; the compositor may refuse them without a word (a tiling
    // compositor such as sway ignores maximise and minimise). False when there
    // is no such window or the compositor cannot be reached.
    virtual bool setMaximized(WindowId id, bool maximized) = 0;
    virtual bool setMinimized(WindowId id, bool minimized) = 0;

    // Show desktop, and back at the next call (wlroots: every window minimised,
    // then those of them still there restored).
    virtual void toggleShowDesktop() = 0;
};

// Whether this is a Wayland session: XDG_SESSION_TYPE says so, or a Wayland
// display is named. Any thread.
bool waylandSession();

// Which desktop XDG_CURRENT_DESKTOP names among its entries ("GNOME", "KDE"),
// without regard to letter case. Any thread.
bool currentDesktopIs(const char *name);

// The windows a backend has been told of, under ids of ours: for compositors
// that name their windows by keys of their own (KWin's internal ids, GNOME's
// window ids). Which one is active and when each last was is kept here.
class KeyedWindows
{
public:
    // The window `key` with its app id and title as they are now; added when new.
    void note(const std::string &key, const std::string &appId, const std::string &title);
    // `key` in front (noted first), or no window for an empty key.
    void activate(const std::string &key);
    void remove(const std::string &key);
    // Forgets every window not among `keys`.
    void keepOnly(const std::vector<std::string> &keys);
    void clear();

    WindowId active() const { return m_active; }
    bool find(WindowId id, CompositorWindow &out) const;
    std::vector<CompositorWindow> all() const; // the most recently active first
    // The compositor's key of our id; empty when unknown.
    std::string keyOf(WindowId id) const;

private:
    struct Entry
    {
        std::string key;
        CompositorWindow window;
    };
    template <class Gone> void eraseIf(Gone gone);
    std::vector<Entry> m_entries;
    WindowId m_active = 0;
    WindowId m_lastId = 0;
    std::uint64_t m_activations = 0;
};

// A new id for a Wayland window, after `last` (which it advances).
WindowId nextWaylandId(WindowId &last);
// The windows the most recently active first.
std::vector<CompositorWindow> byActivity(std::vector<CompositorWindow> windows);

// The backends; null where the compositor is not of their family.
std::unique_ptr<CompositorWindows> connectWlrToplevels();
std::unique_ptr<CompositorWindows> connectKWinWindows();
std::unique_ptr<CompositorWindows> connectGnomeWindows();

// Our GNOME Shell extension as the Shell reports it (Missing also where no Shell
// answers). Main thread; blocking D-Bus calls.
enum class ShellExtension { Missing, Enabled, NotEnabled, Broken };
ShellExtension gnomeExtensionState();
// Asks the Shell to enable it; whether the Shell did.
bool enableGnomeExtension();

} // namespace platform::linuxport
