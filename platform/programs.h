// Which program a window belongs to, and the programs that have windows open.
// A program is named as the user would recognise it:
//   - Windows: the file name of the window's process image ("chrome.exe"), from
//     GetWindowThreadProcessId, OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION) and
//     QueryFullProcessImageNameW;
//   - Linux (X11): the class part of the window's WM_CLASS ("firefox"); for a
//     window without one, the file name of its process's executable
//     (_NET_WM_PID, /proc/<pid>/exe);
//   - Linux on wlroots compositors: the app id the compositor's window list gives
//     (an XWayland window's is its X11 class); no icons.
// Names are UTF-8. Comparing them is the caller's business (without regard to
// letter case).
//
// All calls: main thread. None blocks on another program: a window that does
// not answer gives no icon rather than a wait.
#pragma once

#include "window_system.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A square-ish picture as rows of 0xAARRGGBB pixels, top row first
// (width × height values); empty when the system gives none.
struct ProgramIcon
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
    bool empty() const { return argb.empty(); }
};

struct OpenProgram
{
    std::string program;     // as programOf() names it; never empty
    std::string displayName; // what the system calls it (Windows: the image's
                             // FileDescription; Linux: WM_CLASS class); may be empty
    ProgramIcon icon;        // the window's or the program's icon, may be empty
};

// Whether the program in front can be known on this desktop.
enum class ProgramDetection {
    Available,     // Windows, X11, wlroots compositors, KDE Plasma, GNOME with our extension
    NeedsEnabling, // GNOME with our Shell extension installed but not enabled
    Unavailable,   // any other Wayland desktop (only XWayland windows are seen)
};

class ProgramDirectory
{
public:
    virtual ~ProgramDirectory() = default;

    // See ProgramDetection. May ask the desktop over D-Bus (a blocking call of at
    // most a few seconds): not for the event path.
    virtual ProgramDetection detection() { return ProgramDetection::Available; }
    // Asks the desktop to turn detection on where it NeedsEnabling (GNOME: the
    // Shell enables our extension, as its Extensions application would). False
    // when refused or when there is nothing to enable.
    virtual bool enableDetection() { return false; }

    // GetForegroundWindow (Linux: _NET_ACTIVE_WINDOW); 0 when there is none.
    // Cheap: the agent asks at every control event while program sets exist.
    virtual WindowId foregroundWindow() = 0;

    // The program of a top-level window; empty text for 0, for a window that no
    // longer exists, or when the system refuses (another user's process). Costs a
    // few system calls: callers cache it per window.
    virtual std::string programOf(WindowId window) = 0;

    // The programs with a visible top-level window that the user can switch to
    // (no tool windows, no owned windows, not our own process), front to back,
    // one entry per program. Icons are at most `iconSize` pixels on a side
    // (the nearest size the system has, scaled down when larger). An empty list
    // when the system refuses.
    virtual std::vector<OpenProgram> openPrograms(int iconSize = 32) = 0;
};

std::unique_ptr<ProgramDirectory> createProgramDirectory();

} // namespace platform
