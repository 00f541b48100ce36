#include "fake_window_system.h"

#include <algorithm>

namespace platform::fake {
namespace {

constexpr std::uint32_t kErrorInvalidWindowHandle = 1400;

bool inside(const Rect &r, Point p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The first `maxChars - 1` characters (code points) of `text`, as the API's
// buffer would hold them with its terminator.
std::string truncated(const std::string &text, std::size_t maxChars)
{
    if (maxChars == 0)
        return {};
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && ++chars == maxChars)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

FakeWindowSystem::FakeWindowSystem()
{
    m_desktop = m_nextId;
    m_nextId += 4;
    Window &desktop = m_windows[m_desktop];
    desktop.className = "#32769";
    desktop.rect = Rect{0, 0, 1920, 1080};
}

FakeWindowSystem::Window *FakeWindowSystem::find(WindowId window)
{
    auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : &it->second;
}

const FakeWindowSystem::Window *FakeWindowSystem::find(WindowId window) const
{
    auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : &it->second;
}

WindowId FakeWindowSystem::addWindow(WindowId parent, const std::string &className,
                                     const Rect &rect, std::uint32_t style,
                                     const std::string &title)
{
    if (parent == 0)
        parent = m_desktop;
    Window *p = find(parent);
    if (!p)
        return 0;
    const WindowId id = m_nextId;
    m_nextId += 4;
    p->children.push_back(id);
    Window &w = m_windows[id];
    w.parent = parent;
    w.className = className;
    w.title = title;
    w.style = style;
    w.rect = rect;
    return id;
}

void FakeWindowSystem::destroyWindow(WindowId window)
{
    Window *w = find(window);
    if (!w || window == m_desktop)
        return;
    const std::vector<WindowId> children = w->children;
    for (WindowId child : children)
        destroyWindow(child);
    if (Window *p = find(w->parent))
        p->children.erase(std::remove(p->children.begin(), p->children.end(), window),
                          p->children.end());
    m_windows.erase(window);
    if (m_foreground == window)
        m_foreground = 0;
}

void FakeWindowSystem::setTitle(WindowId window, const std::string &title)
{
    if (Window *w = find(window))
        w->title = title;
}

void FakeWindowSystem::setStyle(WindowId window, std::uint32_t style)
{
    if (Window *w = find(window))
        w->style = style;
}

void FakeWindowSystem::setRect(WindowId window, const Rect &rect)
{
    if (Window *w = find(window))
        w->rect = rect;
}

void FakeWindowSystem::setClientRect(WindowId window, const Rect &client)
{
    if (Window *w = find(window)) {
        w->client = client;
        w->clientSet = true;
    }
}

void FakeWindowSystem::setVisible(WindowId window, bool visible)
{
    if (Window *w = find(window))
        w->visible = visible;
}

void FakeWindowSystem::setZoomed(WindowId window, bool zoomed)
{
    if (Window *w = find(window)) {
        w->zoomed = zoomed;
        if (zoomed)
            w->iconic = false;
    }
}

bool FakeWindowSystem::isIconic(WindowId window) const
{
    const Window *w = find(window);
    return w && w->iconic;
}

bool FakeWindowSystem::isVisible(WindowId window) const
{
    const Window *w = find(window);
    return w && w->visible;
}

void FakeWindowSystem::clearRecords()
{
    m_posted.clear();
    m_shown.clear();
    m_enumerationRoots.clear();
}

WindowId FakeWindowSystem::windowFromPoint(Point screen)
{
    WindowId found = m_desktop;
    for (;;) {
        const Window &w = m_windows.at(found);
        WindowId deeper = 0;
        for (WindowId child : w.children) {
            const Window &c = m_windows.at(child);
            if (c.visible && inside(c.rect, screen)) {
                deeper = child;
                break;
            }
        }
        if (!deeper)
            return found;
        found = deeper;
    }
}

std::string FakeWindowSystem::className(WindowId window, std::size_t maxChars)
{
    const Window *w = find(window);
    return w ? truncated(w->className, maxChars) : std::string();
}

std::string FakeWindowSystem::title(WindowId window, std::size_t maxChars)
{
    const Window *w = find(window);
    return w ? truncated(w->title, maxChars) : std::string();
}

std::uint32_t FakeWindowSystem::style(WindowId window)
{
    const Window *w = find(window);
    return w ? w->style : 0;
}

bool FakeWindowSystem::screenRect(WindowId window, Rect &out)
{
    const Window *w = find(window);
    if (!w)
        return false;
    out = w->rect;
    return true;
}

WindowId FakeWindowSystem::parent(WindowId window)
{
    // Top-level windows have no parent for GetParent, the desktop neither.
    const Window *w = find(window);
    if (!w || window == m_desktop || w->parent == m_desktop)
        return 0;
    return w->parent;
}

WindowId FakeWindowSystem::firstChild(WindowId window)
{
    const Window *w = find(window);
    return w && !w->children.empty() ? w->children.front() : 0;
}

WindowId FakeWindowSystem::sibling(WindowId window, int offset)
{
    const Window *w = find(window);
    if (!w || window == m_desktop)
        return 0;
    const std::vector<WindowId> &list = m_windows.at(w->parent).children;
    const auto it = std::find(list.begin(), list.end(), window);
    const auto index = static_cast<std::ptrdiff_t>(it - list.begin()) + offset;
    if (index < 0 || index >= static_cast<std::ptrdiff_t>(list.size()))
        return 0;
    return list[static_cast<std::size_t>(index)];
}

WindowId FakeWindowSystem::nextSibling(WindowId window)
{
    return sibling(window, 1);
}

WindowId FakeWindowSystem::previousSibling(WindowId window)
{
    return sibling(window, -1);
}

WindowId FakeWindowSystem::findChild(WindowId parent, WindowId after)
{
    const Window *p = find(parent == 0 ? m_desktop : parent);
    if (!p)
        return 0;
    if (after == 0)
        return p->children.empty() ? 0 : p->children.front();
    const auto it = std::find(p->children.begin(), p->children.end(), after);
    if (it == p->children.end() || it + 1 == p->children.end())
        return 0;
    return *(it + 1);
}

WindowId FakeWindowSystem::childFromPoint(WindowId window, Point client)
{
    const Window *w = find(window);
    if (!w)
        return 0;
    const Rect area = clientRect(*w);
    const Point screen{client.x + area.left, client.y + area.top};
    if (!inside(area, screen))
        return 0;
    for (WindowId child : w->children) {
        if (inside(m_windows.at(child).rect, screen))
            return child;
    }
    return window;
}

Point FakeWindowSystem::screenToClient(WindowId window, Point screen)
{
    const Window *w = find(window);
    if (!w)
        return screen;
    const Rect area = clientRect(*w);
    return Point{screen.x - area.left, screen.y - area.top};
}

bool FakeWindowSystem::enumerate(const Window &parent, const std::function<bool(WindowId)> &visit)
{
    // A copy, so that a visitor that changes the tree cannot upset the walk.
    const std::vector<WindowId> children = parent.children;
    for (WindowId child : children) {
        const Window *c = find(child);
        if (!c)
            continue;
        if (!visit(child))
            return false;
        if ((c = find(child)) && !enumerate(*c, visit))
            return false;
    }
    return true;
}

bool FakeWindowSystem::enumerateDescendants(WindowId window,
                                            const std::function<bool(WindowId)> &visit,
                                            std::uint32_t &error)
{
    m_enumerationRoots.push_back(window);
    if (m_enumerationError != 0) {
        error = m_enumerationError;
        return false;
    }
    if (window == 0) {
        // Like EnumWindows: the top-level windows, not their children.
        const std::vector<WindowId> topLevel = m_windows.at(m_desktop).children;
        for (WindowId w : topLevel) {
            if (exists(w) && !visit(w))
                break;
        }
        return true;
    }
    const Window *root = find(window);
    if (!root) {
        error = kErrorInvalidWindowHandle;
        return false;
    }
    enumerate(*root, visit);
    return true;
}

bool FakeWindowSystem::postMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam)
{
    m_posted.push_back(PostedMessage{window, message, wParam, lParam});
    return find(window) != nullptr;
}

bool FakeWindowSystem::isZoomed(WindowId window)
{
    const Window *w = find(window);
    return w && w->zoomed;
}

bool FakeWindowSystem::showWindow(WindowId window, int showCmd)
{
    m_shown.push_back(ShowWindowCall{window, showCmd});
    Window *w = find(window);
    if (!w)
        return false;
    const bool wasVisible = w->visible;
    switch (showCmd) {
    case 0: // SW_HIDE
        w->visible = false;
        return wasVisible;
    case 3: // SW_SHOWMAXIMIZED
        w->zoomed = true;
        w->iconic = false;
        break;
    case 2:  // SW_SHOWMINIMIZED
    case 6:  // SW_MINIMIZE
    case 7:  // SW_SHOWMINNOACTIVE
    case 11: // SW_FORCEMINIMIZE
        w->zoomed = false;
        w->iconic = true;
        break;
    case 1: // SW_SHOWNORMAL
    case 9: // SW_RESTORE
        w->zoomed = false;
        w->iconic = false;
        break;
    default:
        break;
    }
    w->visible = true;
    return wasVisible;
}

} // namespace platform::fake
