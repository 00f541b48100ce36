// Window inspection and messages with the plain user32 calls. A WindowId is the
// HWND's value.
#include "window_system.h"
#include "win32_util.h"

#include <vector>

namespace platform {
namespace {

HWND toHwnd(WindowId window)
{
    return reinterpret_cast<HWND>(window);
}

WindowId toId(HWND hwnd)
{
    return reinterpret_cast<WindowId>(hwnd);
}

struct Enumeration
{
    const std::function<bool(WindowId)> *visit;
    bool stopped;
};

BOOL CALLBACK enumerationProc(HWND hwnd, LPARAM lParam)
{
    auto *enumeration = reinterpret_cast<Enumeration *>(lParam);
    if ((*enumeration->visit)(toId(hwnd)))
        return TRUE;
    enumeration->stopped = true;
    return FALSE;
}

class Win32WindowSystem : public WindowSystem
{
public:
    WindowId windowFromPoint(Point screen) override
    {
        return toId(WindowFromPoint(POINT{screen.x, screen.y}));
    }

    WindowId desktopWindow() override { return toId(GetDesktopWindow()); }
    WindowId foregroundWindow() override { return toId(GetForegroundWindow()); }

    std::string className(WindowId window, std::size_t maxChars) override
    {
        if (window == 0 || maxChars == 0)
            return {};
        std::vector<wchar_t> buffer(maxChars, L'\0');
        const int length = GetClassNameW(toHwnd(window), buffer.data(), int(maxChars));
        return length > 0 ? win32::narrow(buffer.data(), length) : std::string();
    }

    std::string title(WindowId window, std::size_t maxChars) override
    {
        if (window == 0 || maxChars == 0)
            return {};
        std::vector<wchar_t> buffer(maxChars, L'\0');
        const int length = GetWindowTextW(toHwnd(window), buffer.data(), int(maxChars));
        return length > 0 ? win32::narrow(buffer.data(), length) : std::string();
    }

    std::uint32_t style(WindowId window) override
    {
        return window == 0 ? 0 : std::uint32_t(GetWindowLongW(toHwnd(window), GWL_STYLE));
    }

    bool screenRect(WindowId window, Rect &out) override
    {
        RECT r;
        if (window == 0 || !GetWindowRect(toHwnd(window), &r))
            return false;
        out = Rect{int(r.left), int(r.top), int(r.right), int(r.bottom)};
        return true;
    }

    WindowId parent(WindowId window) override
    {
        return window == 0 ? 0 : toId(GetParent(toHwnd(window)));
    }

    WindowId firstChild(WindowId window) override { return related(window, GW_CHILD); }
    WindowId nextSibling(WindowId window) override { return related(window, GW_HWNDNEXT); }
    WindowId previousSibling(WindowId window) override { return related(window, GW_HWNDPREV); }

    WindowId findChild(WindowId parent, WindowId after) override
    {
        return toId(FindWindowExW(toHwnd(parent), toHwnd(after), nullptr, nullptr));
    }

    WindowId childFromPoint(WindowId window, Point client) override
    {
        if (window == 0)
            return 0;
        return toId(ChildWindowFromPoint(toHwnd(window), POINT{client.x, client.y}));
    }

    Point screenToClient(WindowId window, Point screen) override
    {
        POINT p{screen.x, screen.y};
        if (window == 0 || !ScreenToClient(toHwnd(window), &p))
            return screen;
        return Point{int(p.x), int(p.y)};
    }

    bool enumerateDescendants(WindowId window, const std::function<bool(WindowId)> &visit,
                              std::uint32_t &error) override
    {
        // EnumChildWindows's result says little (it is FALSE for a window without
        // children and after a stop, and not every system sets an error for a
        // window that is gone), so the window is checked first and afterwards only
        // a set error code counts as failure.
        if (window != 0 && !IsWindow(toHwnd(window))) {
            error = ERROR_INVALID_WINDOW_HANDLE;
            return false;
        }
        Enumeration enumeration{&visit, false};
        SetLastError(ERROR_SUCCESS);
        const BOOL done = EnumChildWindows(toHwnd(window), &enumerationProc,
                                           reinterpret_cast<LPARAM>(&enumeration));
        if (done || enumeration.stopped)
            return true;
        const DWORD code = GetLastError();
        if (code == ERROR_SUCCESS)
            return true;
        error = code;
        return false;
    }

    bool postMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) override
    {
        // PostMessageW without a window would land in this thread's own queue.
        if (window == 0)
            return false;
        return PostMessageW(toHwnd(window), message, WPARAM(wParam), LPARAM(lParam)) != FALSE;
    }

    bool isZoomed(WindowId window) override
    {
        return window != 0 && IsZoomed(toHwnd(window)) != FALSE;
    }

    bool showWindow(WindowId window, int showCmd) override
    {
        return window != 0 && ShowWindow(toHwnd(window), showCmd) != FALSE;
    }

private:
    static WindowId related(WindowId window, UINT relation)
    {
        return window == 0 ? 0 : toId(GetWindow(toHwnd(window), relation));
    }
};

} // namespace

std::unique_ptr<WindowSystem> createWindowSystem()
{
    return std::make_unique<Win32WindowSystem>();
}

} // namespace platform
