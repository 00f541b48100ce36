#include "compositor_windows.h"

#include <QString>
#include <QStringList>

#include <algorithm>

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

WindowId nextWaylandId(WindowId &last)
{
    return kWaylandWindowBit | (++last & ~kWaylandWindowBit);
}

std::vector<CompositorWindow> byActivity(std::vector<CompositorWindow> windows)
{
    std::stable_sort(windows.begin(), windows.end(),
                     [](const auto &a, const auto &b) { return a.lastActive > b.lastActive; });
    return windows;
}

void KeyedWindows::note(const std::string &key, const std::string &appId, const std::string &title)
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [&](const Entry &e) { return e.key == key; });
    if (it == m_entries.end()) {
        m_entries.push_back({key, {}});
        it = m_entries.end() - 1;
        it->window.id = nextWaylandId(m_lastId);
    }
    it->window.appId = appId;
    it->window.title = title;
}

void KeyedWindows::activate(const std::string &key)
{
    m_active = 0; // the desktop, a panel or nothing in front
    for (Entry &e : m_entries) {
        e.window.activated = !key.empty() && e.key == key;
        if (e.window.activated) {
            e.window.lastActive = ++m_activations;
            m_active = e.window.id;
        }
    }
}

void KeyedWindows::remove(const std::string &key)
{
    eraseIf([&](const std::string &k) { return k == key; });
}

void KeyedWindows::keepOnly(const std::vector<std::string> &keys)
{
    eraseIf([&](const std::string &k) { return std::find(keys.begin(), keys.end(), k) == keys.end(); });
}

template <class Gone> void KeyedWindows::eraseIf(Gone gone)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const Entry &e) { return gone(e.key); }),
                    m_entries.end());
    if (keyOf(m_active).empty())
        m_active = 0;
}

void KeyedWindows::clear()
{
    m_entries.clear();
    m_active = 0;
}

bool KeyedWindows::find(WindowId id, CompositorWindow &out) const
{
    for (const Entry &e : m_entries)
        if (e.window.id == id) {
            out = e.window;
            return true;
        }
    return false;
}

std::vector<CompositorWindow> KeyedWindows::all() const
{
    std::vector<CompositorWindow> windows;
    for (const Entry &e : m_entries)
        windows.push_back(e.window);
    return byActivity(std::move(windows));
}

std::string KeyedWindows::keyOf(WindowId id) const
{
    for (const Entry &e : m_entries)
        if (id && e.window.id == id)
            return e.key;
    return {};
}

CompositorWindows *CompositorWindows::answering()
{
    CompositorWindows *windows = instance();
    return windows && windows->isAnswering() ? windows : nullptr;
}

} // namespace platform::linuxport
