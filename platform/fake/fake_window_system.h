// A simulated window tree: classes, titles, styles, screen rectangles, the
// parent/child/sibling order (Z order, topmost first) and the foreground and
// maximised states. Posted messages and ShowWindow calls are recorded.
//
// Geometry: every rectangle is in screen coordinates. The client area is the
// window rectangle unless set otherwise. WindowFromPoint finds the topmost visible
// top-level window that contains the point and descends through visible children
// to the deepest one; over no window it answers the desktop window.
// ChildWindowFromPoint looks at the direct children (hidden ones too).
//
// Enumeration visits descendants depth first, pre-order, children in Z order, as
// EnumChildWindows does; the root 0 visits the top-level windows only, as
// EnumWindows does (what EnumChildWindows documents for a null parent).
//
// Single-threaded, like the windows it plays.
#pragma once

#include "window_system.h"

#include <map>
#include <vector>

namespace platform::fake {

class FakeWindowSystem : public WindowSystem
{
public:
    // The desktop window ("#32769", 1920 × 1080) exists from the start.
    FakeWindowSystem();

    // WindowSystem.
    WindowId windowFromPoint(Point screen) override;
    WindowId desktopWindow() override { return m_desktop; }
    WindowId foregroundWindow() override { return m_foreground; }
    std::string className(WindowId window, std::size_t maxChars = 260) override;
    std::string title(WindowId window, std::size_t maxChars = 1024) override;
    std::uint32_t style(WindowId window) override;
    bool screenRect(WindowId window, Rect &out) override;
    WindowId parent(WindowId window) override;
    WindowId firstChild(WindowId window) override;
    WindowId nextSibling(WindowId window) override;
    WindowId previousSibling(WindowId window) override;
    WindowId findChild(WindowId parent, WindowId after) override;
    WindowId childFromPoint(WindowId window, Point client) override;
    Point screenToClient(WindowId window, Point screen) override;
    bool enumerateDescendants(WindowId window, const std::function<bool(WindowId)> &visit,
                              std::uint32_t &error) override;
    bool postMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
    bool isZoomed(WindowId window) override;
    // SW_HIDE 0 hides; SW_SHOWMAXIMIZED 3 maximises; SW_SHOWMINIMIZED 2,
    // SW_MINIMIZE 6, SW_SHOWMINNOACTIVE 7 and SW_FORCEMINIMIZE 11 minimise;
    // SW_SHOWNORMAL 1 and SW_RESTORE 9 restore; every command but SW_HIDE shows.
    // Answers whether the window was visible before. Recorded in every case.
    bool showWindow(WindowId window, int showCmd) override;

    // Building the tree. `parent` 0 (or the desktop) makes a top-level window.
    // The new window goes to the bottom of its parent's Z order, so siblings are
    // listed in the order they were added. Returns the new window's id, or 0 when
    // the parent does not exist.
    WindowId addWindow(WindowId parent, const std::string &className, const Rect &rect,
                       std::uint32_t style = 0, const std::string &title = {});
    // Removes the window and everything below it.
    void destroyWindow(WindowId window);
    bool exists(WindowId window) const { return m_windows.count(window) != 0; }

    void setForeground(WindowId window) { m_foreground = window; }
    void setTitle(WindowId window, const std::string &title);
    void setStyle(WindowId window, std::uint32_t style);
    void setRect(WindowId window, const Rect &rect);
    void setClientRect(WindowId window, const Rect &client);
    void setVisible(WindowId window, bool visible);
    void setZoomed(WindowId window, bool zoomed);
    bool isIconic(WindowId window) const;
    bool isVisible(WindowId window) const;
    // Makes the next enumerations fail with this system error (0: succeed again).
    void setEnumerationError(std::uint32_t error) { m_enumerationError = error; }

    struct PostedMessage
    {
        WindowId window;
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
        bool operator==(const PostedMessage &o) const
        {
            return window == o.window && message == o.message && wParam == o.wParam &&
                   lParam == o.lParam;
        }
    };
    struct ShowWindowCall
    {
        WindowId window;
        int showCmd;
        bool operator==(const ShowWindowCall &o) const
        {
            return window == o.window && showCmd == o.showCmd;
        }
    };
    // Every postMessage / showWindow call in order, including those that failed.
    const std::vector<PostedMessage> &postedMessages() const { return m_posted; }
    const std::vector<ShowWindowCall> &showWindowCalls() const { return m_shown; }
    // The roots of the enumerations asked for, in order.
    const std::vector<WindowId> &enumerationRoots() const { return m_enumerationRoots; }
    void clearRecords();

private:
    struct Window
    {
        WindowId parent = 0;
        std::string className;
        std::string title;
        std::uint32_t style = 0;
        Rect rect;
        Rect client;
        bool clientSet = false;
        bool visible = true;
        bool zoomed = false;
        bool iconic = false;
        std::vector<WindowId> children; // Z order, topmost first
    };

    Window *find(WindowId window);
    const Window *find(WindowId window) const;
    Rect clientRect(const Window &w) const { return w.clientSet ? w.client : w.rect; }
    // The sibling `offset` places away from `window`, or 0.
    WindowId sibling(WindowId window, int offset);
    bool enumerate(const Window &parent, const std::function<bool(WindowId)> &visit);

    std::map<WindowId, Window> m_windows;
    WindowId m_desktop = 0;
    WindowId m_foreground = 0;
    WindowId m_nextId = 0x10010;
    std::uint32_t m_enumerationError = 0;
    std::vector<PostedMessage> m_posted;
    std::vector<ShowWindowCall> m_shown;
    std::vector<WindowId> m_enumerationRoots;
};

} // namespace platform::fake
