#include "compositor_windows.h"

#include <QString>
#include <QStringList>

namespace platform::linuxport {

bool waylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool currentDesktopIs(const char *name)
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP")
        .split(QLatin1Char(':'))
        .contains(QLatin1String(name), Qt::CaseInsensitive);
}

CompositorWindows *CompositorWindows::instance()
{
    static const std::unique_ptr<CompositorWindows> windows = []() -> std::unique_ptr<CompositorWindows> {
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return nullptr; // an X11 session: EWMH knows every window
        if (currentDesktopIs("KDE"))
            if (auto kwin = connectKWinWindows())
                return kwin;
        if (currentDesktopIs("GNOME"))
            return connectGnomeWindows(); // the extension may come later
        return connectWlrToplevels(); // null where the compositor offers no list
    }();
    return windows.get();
}

CompositorWindows *CompositorWindows::answering()
{
    CompositorWindows *windows = instance();
    return windows && windows->isAnswering() ? windows : nullptr;
}

} // namespace platform::linuxport
