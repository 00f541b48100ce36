#include "compositor_windows.h"

#include <QString>
#include <QStringList>

namespace platform::linuxport {

CompositorWindows *CompositorWindows::instance()
{
    static const std::unique_ptr<CompositorWindows> windows = []() -> std::unique_ptr<CompositorWindows> {
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return nullptr; // an X11 session: EWMH knows every window
        const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'));
        if (desktops.contains(QLatin1String("KDE"), Qt::CaseInsensitive))
            if (auto kwin = connectKWinWindows())
                return kwin;
        return connectWlrToplevels(); // null where the compositor offers no list
    }();
    return windows.get();
}

} // namespace platform::linuxport
