// Inspecting other programs' windows on Linux comes with the later port; until
// then there are no windows to act on.
#include "window_system.h"
#include "unavailable.h"

namespace platform {
namespace {

class LinuxWindowSystem : public WindowSystem
{
public:
    WindowId windowFromPoint(Point) override { return none(); }
    WindowId desktopWindow() override { return 0; }
    WindowId foregroundWindow() override { return none(); }
    std::string className(WindowId, std::size_t) override { return {}; }
    std::string title(WindowId, std::size_t) override { return {}; }
    std::uint32_t style(WindowId) override { return 0; }
    bool screenRect(WindowId, Rect &) override { return false; }
    WindowId parent(WindowId) override { return 0; }
    WindowId firstChild(WindowId) override { return 0; }
    WindowId nextSibling(WindowId) override { return 0; }
    WindowId previousSibling(WindowId) override { return 0; }
    WindowId findChild(WindowId, WindowId) override { return 0; }
    WindowId childFromPoint(WindowId, Point) override { return 0; }
    Point screenToClient(WindowId, Point p) override { return p; }
    bool enumerateDescendants(WindowId, const std::function<bool(WindowId)> &,
                              std::uint32_t &error) override
    {
        error = 1400; // ERROR_INVALID_WINDOW_HANDLE
        return false;
    }
    bool postMessage(WindowId, std::uint32_t, std::uintptr_t, std::intptr_t) override
    {
        return false;
    }
    bool isZoomed(WindowId) override { return false; }
    bool showWindow(WindowId, int) override { return false; }

private:
    static WindowId none()
    {
        linuxport::reportUnavailable("window inspection");
        return 0;
    }
};

} // namespace

std::unique_ptr<WindowSystem> createWindowSystem()
{
    return std::make_unique<LinuxWindowSystem>();
}

} // namespace platform
