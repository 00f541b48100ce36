#include "cfindscrollbar.h"

#include "agentlog.h"
#include "input.h"

#include <QDebug>
#include <QString>

namespace {

constexpr std::size_t kClassChars = 260;
constexpr int kEnumerationTolerance = 25;

bool contains(const std::string &className, const char *part)
{
    return className.find(part) != std::string::npos;
}

bool isScrollBarClass(const std::string &className)
{
    return contains(className, "ScrollBar") || contains(className, "NUIScrollbar");
}

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

} // namespace

ScrollBarSearchScratch &scrollBarSearchScratch()
{
    static ScrollBarSearchScratch scratch;
    return scratch;
}

bool FindTopParent(platform::WindowSystem &windows, platform::WindowId window)
{
    for (platform::WindowId p = windows.parent(window); p != 0; p = windows.parent(p)) {
        if (contains(windows.className(p, kClassChars), "Progman")) {
            qCDebug(lcAgentActions) << "FindTopParent";
            return true;
        }
    }
    return false;
}

bool EnumChildProc2(platform::WindowId window, CFindScrollBar &finder)
{
    platform::WindowSystem &windows = finder.windows();
    const std::string className = windows.className(window, kClassChars);
    qCDebug(lcAgentActions) << "EnumChildProc2 " << q(className);
    if (!isScrollBarClass(className) ||
        !finder.CheckSourceStyle(window, CFindScrollBar::kHorizontal))
        return true;

    platform::Rect bar;
    if (!windows.screenRect(window, bar))
        return true;
    ScrollBarSearchScratch &scratch = scrollBarSearchScratch();
    if (bar.left >= scratch.referenceRect.left - kEnumerationTolerance &&
        bar.right <= scratch.referenceRect.right + kEnumerationTolerance) {
        qCDebug(lcAgentActions) << "g_rect " << q(className);
        scratch.scrollBar = window;
        return false;
    }
    return true;
}

CFindScrollBar::CFindScrollBar(platform::WindowSystem &windows, platform::InputInjector &input)
    : m_windows(windows), m_input(input)
{
}

CFindScrollBar::~CFindScrollBar() = default;

void CFindScrollBar::setPoint(int x, int y)
{
    m_x = x;
    m_y = y;
}

bool CFindScrollBar::CheckValidWindow(platform::WindowId window)
{
    if (contains(m_windows.className(window, kClassChars), "SysListView32") &&
        FindTopParent(m_windows, window))
        return false;
    return window != 0 && window != m_windows.desktopWindow();
}

bool CFindScrollBar::CheckSourceStyle(platform::WindowId window, int barType)
{
    const std::string className = m_windows.className(window, kClassChars);
    qCDebug(lcAgentActions) << "CheckSourceStyle  " << q(className) << " BarType " << barType;
    if (contains(className, "Internet Explorer_Server"))
        return true;
    if (isScrollBarClass(className)) {
        platform::Rect rect;
        if (!m_windows.screenRect(window, rect))
            return false;
        if (rect.width() > rect.height()) {
            qCDebug(lcAgentActions) << "tempQRect " << m_x << rect.right;
            return m_x < rect.right;
        }
        return false;
    }
    return (m_windows.style(window) & platform::kWsHScroll) != 0;
}

platform::WindowId CFindScrollBar::CheckChild(platform::WindowId window, int barType)
{
    if (window == 0)
        return 0;
    const platform::WindowId child = m_windows.firstChild(window);
    if (child == 0)
        return 0;
    if (CheckSourceStyle(child, barType))
        return child;
    qCDebug(lcAgentActions) << "CheckChild CheckSourceStyle";
    return CheckSibling(child, barType);
}

platform::WindowId CFindScrollBar::avlScrollBarChild(platform::WindowId sibling)
{
    const platform::WindowId child = m_windows.firstChild(sibling);
    if (child == 0 || !contains(m_windows.className(child, kClassChars), "ScrollBar"))
        return 0;
    if (m_windows.style(child) & (platform::kSbsVert | platform::kSbsSizeBox))
        return 0;
    return child;
}

platform::WindowId CFindScrollBar::CheckSibling(platform::WindowId window, int barType)
{
    if (window == 0)
        return 0;

    for (platform::WindowId s = m_windows.nextSibling(window); s != 0;
         s = m_windows.nextSibling(s)) {
        const std::string className = m_windows.className(s, kClassChars);
        if (contains(className, "AVL_AVScrollBar")) {
            if (const platform::WindowId bar = avlScrollBarChild(s))
                return bar;
        }
        if (isScrollBarClass(className) && CheckSourceStyle(s, barType))
            return s;
    }

    for (platform::WindowId s = m_windows.previousSibling(window); s != 0;
         s = m_windows.previousSibling(s)) {
        const std::string className = m_windows.className(s, kClassChars);
        if (contains(className, "AVL_AVScrollBar")) {
            if (const platform::WindowId bar = avlScrollBarChild(s))
                return bar;
        }
        if (contains(className, "ScrollBar") && CheckSourceStyle(s, barType))
            return s;
        if (contains(className, "NUIScrollbar") && CheckSourceStyle(s, barType))
            return s;
        if (contains(className, "AfxWnd70") || contains(className, "AfxWnd42")) {
            if (const platform::WindowId found = CheckChild(s, barType))
                return found;
        }
    }
    return 0;
}

platform::WindowId CFindScrollBar::GetHScrollBar(platform::WindowId window)
{
    if (!CheckValidWindow(window)) {
        qCDebug(lcAgentActions) << "GetHScrollBar CheckValidWindow";
        return 0;
    }

    const platform::Point client = m_windows.screenToClient(window, {m_x, m_y});
    platform::WindowId probe = m_windows.childFromPoint(window, client);
    if (probe == 0)
        probe = window;

    platform::WindowId result = 0;
    if (CheckSourceStyle(probe, kHorizontal)) {
        qCDebug(lcAgentActions) << "CheckSourceStyle yes";
        result = probe;
    }

    const std::string className = m_windows.className(probe, kClassChars);
    qCDebug(lcAgentActions) << "GetHScrollBar ClassNameStr" << q(className);

    if (contains(className, "MozillaWindowClass"))
        result = m_windows.parent(probe);

    if (contains(className, "DirectUIHWND")) {
        const platform::WindowId child1 = m_windows.findChild(probe, 0);
        if (result == 0) {
            qCDebug(lcAgentActions) << "GetHScrollBar DirectUIHWND hChildWind1";
            result = CheckChild(child1, kHorizontal);
        }
        const platform::WindowId child2 = m_windows.findChild(probe, child1);
        if (result == 0) {
            qCDebug(lcAgentActions) << "GetHScrollBar DirectUIHWND hChildWind2";
            result = CheckChild(child2, kHorizontal);
        }
    }

    if (contains(className, "ScrollBar") && result == 0) {
        qCDebug(lcAgentActions) << "GetHScrollBar ScrollBar CheckChild";
        result = CheckChild(probe, kHorizontal);
        if (result == 0) {
            qCDebug(lcAgentActions) << "GetHScrollBar ScrollBar CheckSibling";
            result = CheckSibling(probe, kHorizontal);
        }
    }

    qCDebug(lcAgentActions) << "ClassNameStr" << q(className);

    if (result == 0) {
        ScrollBarSearchScratch &scratch = scrollBarSearchScratch();
        scratch.scrollBar = 0;
        scratch.referenceRect = platform::Rect{};
        m_windows.screenRect(probe, scratch.referenceRect);
        std::uint32_t error = 0;
        if (!m_windows.enumerateDescendants(
                m_windows.parent(probe),
                [this](platform::WindowId child) { return EnumChildProc2(child, *this); }, error))
            qDebug() << error;
        m_input.pause(1);
        qCDebug(lcAgentActions) << "g_scrollBar" << scratch.scrollBar;
        result = scratch.scrollBar;
    }
    return result;
}
