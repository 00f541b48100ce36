// Inspection of and messages to the system's windows, other programs' included.
// A window is named by an opaque non-zero id (the HWND's value on Windows); 0 is
// "no window". All calls: main thread; none blocks on another program (messages
// are posted, never sent).
#pragma once

#include "input.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

using WindowId = std::uintptr_t;

struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

constexpr std::uint32_t kWsHScroll = 0x00100000;
constexpr std::uint32_t kSbsVert = 0x0001;
constexpr std::uint32_t kSbsSizeBox = 0x0008;
constexpr std::uint32_t kWmClose = 0x0010;
constexpr std::uint32_t kWmKeyDown = 0x0100;
constexpr std::uint32_t kWmKeyUp = 0x0101;
constexpr std::uint32_t kWmHScroll = 0x0114;

class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    virtual WindowId windowFromPoint(Point screen) = 0; // WindowFromPoint
    virtual WindowId desktopWindow() = 0;               // GetDesktopWindow
    virtual WindowId foregroundWindow() = 0;            // GetForegroundWindow

    // GetClassNameW / GetWindowTextW into a buffer of `maxChars` characters
    // (terminator included), as UTF-8; empty text for 0 or on failure.
    virtual std::string className(WindowId window, std::size_t maxChars = 260) = 0;
    virtual std::string title(WindowId window, std::size_t maxChars = 1024) = 0;

    virtual std::uint32_t style(WindowId window) = 0; // GetWindowLongW(GWL_STYLE); 0 on failure
    virtual bool screenRect(WindowId window, Rect &out) = 0; // GetWindowRect

    virtual WindowId parent(WindowId window) = 0;          // GetParent
    virtual WindowId firstChild(WindowId window) = 0;      // GetWindow(GW_CHILD)
    virtual WindowId nextSibling(WindowId window) = 0;     // GetWindow(GW_HWNDNEXT)
    virtual WindowId previousSibling(WindowId window) = 0; // GetWindow(GW_HWNDPREV)
    // FindWindowExW(parent, after, null, null): the child after `after` (0: first).
    virtual WindowId findChild(WindowId parent, WindowId after) = 0;
    // ChildWindowFromPoint with client coordinates; 0 when outside.
    virtual WindowId childFromPoint(WindowId window, Point client) = 0;
    virtual Point screenToClient(WindowId window, Point screen) = 0;

    // EnumChildWindows over all descendants; the visitor returns false to stop.
    // Returns false when the enumeration call itself failed, with `error` set to
    // the system error number (a stop by the visitor is not a failure here).
    virtual bool enumerateDescendants(WindowId window, const std::function<bool(WindowId)> &visit,
                                      std::uint32_t &error) = 0;

    // PostMessageW. False when the post failed.
    virtual bool postMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;

    virtual bool isZoomed(WindowId window) = 0;             // IsZoomed
    virtual bool showWindow(WindowId window, int showCmd) = 0; // ShowWindow
};

std::unique_ptr<WindowSystem> createWindowSystem();

} // namespace platform
