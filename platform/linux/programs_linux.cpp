// The programs behind X11 windows: a window's program is the class part of its
// WM_CLASS (what desktop files match with StartupWMClass), or, for a window
// without one, the file name of the executable of the process that
// _NET_WM_PID names. The open programs come from the window manager's
// _NET_CLIENT_LIST_STACKING, with the icons the windows publish in _NET_WM_ICON.
// On wlroots compositors both come from the compositor's window list, whose app
// ids are what desktop files are named for (an XWayland window's is its class).
#include "programs.h"
#include "detail/icon_scale.h"
#include "compositor_windows.h"
#include "x11_connection.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>

#include <climits>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace platform {
namespace {

using linuxport::CompositorWindows;
using linuxport::XConnection;

// The largest _NET_WM_ICON read, in 32-bit values (a 512 × 512 icon and its
// smaller sizes fit).
constexpr std::uint32_t kMaxIconValues = 1u << 20;

// The 32-bit values of a property; empty when absent or on error.
std::vector<std::uint32_t> property32(XConnection &x, xcb_window_t window, xcb_atom_t property,
                                      xcb_atom_t type, std::uint32_t maxValues)
{
    std::vector<std::uint32_t> values;
    if (!window || !property)
        return values;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        x.connection, xcb_get_property(x.connection, 0, window, property, type, 0, maxValues),
        nullptr);
    if (reply && reply->format == 32) {
        const auto *v = static_cast<const std::uint32_t *>(xcb_get_property_value(reply));
        values.assign(v, v + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    return values;
}

// The class part of WM_CLASS ("instance\0class\0"); empty when there is none.
std::string wmClass(XConnection &x, xcb_window_t window)
{
    const std::string value =
        linuxport::windowProperty(x, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    const std::size_t split = value.find('\0');
    if (split == std::string::npos)
        return {};
    const std::size_t end = value.find('\0', split + 1);
    return value.substr(split + 1, (end == std::string::npos ? value.size() : end) - split - 1);
}

std::uint32_t windowPid(XConnection &x, xcb_window_t window)
{
    const auto pid = property32(x, window, x.ewmh._NET_WM_PID, XCB_ATOM_CARDINAL, 1);
    return pid.empty() ? 0 : pid[0];
}

// The file name of a process's executable; empty when the process is gone or
// belongs to another user.
std::string executableName(std::uint32_t pid)
{
    if (!pid)
        return {};
    char target[PATH_MAX];
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    const ssize_t length = readlink(link.c_str(), target, sizeof target);
    if (length <= 0 || std::size_t(length) >= sizeof target)
        return {};
    std::string path(target, std::size_t(length));
    static const std::string kDeleted = " (deleted)"; // replaced since it started
    if (path.size() > kDeleted.size() &&
        path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0)
        path.resize(path.size() - kDeleted.size());
    return path.substr(path.find_last_of('/') + 1);
}

bool hasAtom(const std::vector<std::uint32_t> &atoms, xcb_atom_t atom)
{
    for (const std::uint32_t a : atoms)
        if (a == atom)
            return true;
    return false;
}

// Of the sizes in _NET_WM_ICON (width, height, then the pixels, repeated): the
// smallest that is at least `size` on its longer side, else the largest.
ProgramIcon windowIcon(XConnection &x, xcb_window_t window, int size)
{
    const auto values =
        property32(x, window, x.ewmh._NET_WM_ICON, XCB_ATOM_CARDINAL, kMaxIconValues);
    std::size_t best = 0, bestSide = 0;
    bool found = false;
    for (std::size_t i = 0; i + 2 <= values.size();) {
        const std::uint64_t w = values[i], h = values[i + 1];
        if (!w || !h || w * h > values.size() - i - 2)
            break;
        const std::size_t side = std::size_t(std::max(w, h));
        const bool bigEnough = side >= std::size_t(std::max(size, 0));
        const bool bestBigEnough = bestSide >= std::size_t(std::max(size, 0));
        if (!found || (bigEnough && (!bestBigEnough || side < bestSide)) ||
            (!bigEnough && !bestBigEnough && side > bestSide)) {
            best = i;
            bestSide = side;
            found = true;
        }
        i += 2 + std::size_t(w * h);
    }
    ProgramIcon icon;
    if (!found)
        return icon;
    icon.width = int(values[best]);
    icon.height = int(values[best + 1]);
    const auto first = values.begin() + std::ptrdiff_t(best + 2);
    icon.argb.assign(first,
                     first + std::ptrdiff_t(std::size_t(icon.width) * std::size_t(icon.height)));
    return detail::scaledDown(std::move(icon), size);
}

// The window in front, kept from the root window's PropertyNotify events on a
// connection of its own: asking costs no round trip to the X server, only when
// _NET_ACTIVE_WINDOW has changed since the last question. The events are also
// read whenever they arrive while an event loop runs, so that they never pile
// up in the server for a program that stops asking.
class ActiveWindowWatch
{
public:
    ~ActiveWindowWatch()
    {
        m_notifier.reset();
        if (m_c)
            xcb_disconnect(m_c);
    }

    WindowId current()
    {
        if (!m_started)
            start();
        if (!m_c)
            return 0;
        watchSocket();
        drain();
        if (xcb_connection_has_error(m_c))
            return 0;
        if (m_changed) {
            m_changed = false;
            m_active = read();
        }
        return m_active;
    }

private:
    void start()
    {
        m_started = true;
        int screenNumber = 0;
        m_c = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(m_c)) {
            xcb_disconnect(m_c);
            m_c = nullptr;
            return;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_c));
        for (int i = 0; i < screenNumber && it.rem; ++i)
            xcb_screen_next(&it);
        m_root = it.data->root;
        static const char kName[] = "_NET_ACTIVE_WINDOW";
        xcb_intern_atom_reply_t *atom =
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, sizeof kName - 1, kName), nullptr);
        m_atom = atom ? atom->atom : XCB_NONE;
        free(atom);
        // Watch first, then read: no change can fall between the two.
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        m_active = read();
    }

    // Reads the events as they arrive once there is an event loop to tell.
    void watchSocket()
    {
        if (m_notifier || !QCoreApplication::instance())
            return;
        m_notifier =
            std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_c), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
            drain();
            if (xcb_connection_has_error(m_c))
                m_notifier->setEnabled(false); // the server is gone: nothing more comes
        });
    }

    void drain()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_c)) {
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                reinterpret_cast<xcb_property_notify_event_t *>(event)->atom == m_atom)
                m_changed = true;
            free(event);
        }
    }

    WindowId read()
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, m_root, m_atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
        WindowId active = 0;
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
            active = *static_cast<const std::uint32_t *>(xcb_get_property_value(reply));
        free(reply);
        return active;
    }

    bool m_started = false;
    bool m_changed = false;
    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_atom = XCB_NONE;
    WindowId m_active = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

class LinuxProgramDirectory : public ProgramDirectory
{
public:
    WindowId foregroundWindow() override
    {
        if (CompositorWindows *list = CompositorWindows::answering())
            return list->active();
        return m_active.current();
    }

    std::string programOf(WindowId window) override
    {
        linuxport::CompositorWindow toplevel;
        if (linuxport::isWaylandWindow(window)) {
            CompositorWindows *list = CompositorWindows::instance();
            return list && list->find(window, toplevel) ? toplevel.appId : std::string();
        }
        XConnection *x = linuxport::xConnection();
        if (!x || !window)
            return {};
        const std::string name = wmClass(*x, xcb_window_t(window));
        return name.empty() ? executableName(windowPid(*x, xcb_window_t(window))) : name;
    }

    ProgramDetection detection() override
    {
        if (!linuxport::waylandSession())
            return ProgramDetection::Available;
        if (linuxport::currentDesktopIs("GNOME")) {
            switch (linuxport::gnomeExtensionState()) {
            case linuxport::ShellExtension::Enabled:
                return ProgramDetection::Available;
            case linuxport::ShellExtension::NotEnabled:
                return ProgramDetection::NeedsEnabling;
            default:
                return ProgramDetection::Unavailable;
            }
        }
        return CompositorWindows::instance() ? ProgramDetection::Available
                                             : ProgramDetection::Unavailable;
    }

    bool enableDetection() override
    {
        return linuxport::currentDesktopIs("GNOME") &&
               linuxport::gnomeExtensionState() == linuxport::ShellExtension::NotEnabled &&
               linuxport::enableGnomeExtension();
    }

    std::vector<OpenProgram> openPrograms(int iconSize) override
    {
        if (CompositorWindows *list = CompositorWindows::answering())
            return waylandPrograms(*list);
        std::vector<OpenProgram> programs;
        XConnection *x = linuxport::xConnection();
        if (!x)
            return programs;
        // Bottom to top, as the window manager stacks them.
        const auto stacking =
            property32(*x, x->root, x->ewmh._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW, 1u << 16);
        const std::uint32_t ownPid = std::uint32_t(getpid());
        const xcb_atom_t notSwitchable[] = {
            x->ewmh._NET_WM_WINDOW_TYPE_DESKTOP, x->ewmh._NET_WM_WINDOW_TYPE_DOCK,
            x->ewmh._NET_WM_WINDOW_TYPE_TOOLBAR, x->ewmh._NET_WM_WINDOW_TYPE_MENU,
            x->ewmh._NET_WM_WINDOW_TYPE_UTILITY, x->ewmh._NET_WM_WINDOW_TYPE_SPLASH};
        QStringList seen; // case-folded
        for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
            const xcb_window_t window = *it;
            const auto states = property32(*x, window, x->ewmh._NET_WM_STATE, XCB_ATOM_ATOM, 64);
            if (hasAtom(states, x->ewmh._NET_WM_STATE_SKIP_TASKBAR))
                continue;
            const auto types =
                property32(*x, window, x->ewmh._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, 64);
            bool switchable = true;
            for (const xcb_atom_t type : notSwitchable)
                switchable = switchable && !hasAtom(types, type);
            if (!switchable ||
                !property32(*x, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1).empty())
                continue; // a tool window, or a dialog owned by another window
            const std::uint32_t pid = windowPid(*x, window);
            if (pid == ownPid)
                continue;
            OpenProgram program;
            program.displayName = wmClass(*x, window);
            program.program =
                program.displayName.empty() ? executableName(pid) : program.displayName;
            if (program.program.empty())
                continue;
            const QString folded = QString::fromStdString(program.program).toCaseFolded();
            if (seen.contains(folded))
                continue;
            seen << folded;
            program.icon = windowIcon(*x, window, iconSize);
            programs.push_back(std::move(program));
        }
        return programs;
    }

private:
    // The list gives no icons and no process: our own windows are known by the
    // app id Qt gives them, the executable's name.
    static std::vector<OpenProgram> waylandPrograms(CompositorWindows &list)
    {
        std::vector<OpenProgram> programs;
        const QString own = QString::fromStdString(executableName(std::uint32_t(getpid())));
        QStringList seen{own.toCaseFolded()};
        for (const linuxport::CompositorWindow &window : list.all()) {
            const QString folded = QString::fromStdString(window.appId).toCaseFolded();
            if (folded.isEmpty() || seen.contains(folded))
                continue;
            seen << folded;
            OpenProgram program;
            program.program = window.appId;
            program.displayName = window.appId;
            programs.push_back(std::move(program));
        }
        return programs;
    }

    ActiveWindowWatch m_active;
};

} // namespace

std::unique_ptr<ProgramDirectory> createProgramDirectory()
{
    return std::make_unique<LinuxProgramDirectory>();
}

} // namespace platform
