// The search for the horizontal scroll bar that belongs to a window: the window
// itself when it has a horizontal bar, a scroll-bar control among its children or
// siblings, or, as the last resort, a scroll-bar control anywhere under the same
// parent that spans about the same width.
//
// Main thread only. One finder is made for every scroll step.
#pragma once

#include "window_system.h"

namespace platform {
class InputInjector;
}

// Scratch state of the enumeration step, shared by the finder and EnumChildProc2
// for the length of one search.
struct ScrollBarSearchScratch
{
    platform::Rect referenceRect;     // screen rectangle of the window under the cursor
    platform::WindowId scrollBar = 0; // the bar the enumeration found
};
ScrollBarSearchScratch &scrollBarSearchScratch();

class CFindScrollBar;

// True when some ancestor of `window` (GetParent chain) has a class containing
// "Progman", i.e. the window belongs to the desktop.
bool FindTopParent(platform::WindowSystem &windows, platform::WindowId window);

// The enumeration visitor: records `window` in the scratch state and answers false
// (stop) when it is a usable horizontal scroll-bar control within 25 pixels of the
// reference rectangle's left and right edges; answers true (continue) otherwise.
bool EnumChildProc2(platform::WindowId window, CFindScrollBar &finder);

class CFindScrollBar
{
public:
    // Bar types; the searches are made for horizontal bars only.
    static constexpr int kHorizontal = 1;

    // `input` provides the short pause after the enumeration.
    CFindScrollBar(platform::WindowSystem &windows, platform::InputInjector &input);
    virtual ~CFindScrollBar();

    // The cursor position (screen coordinates) the search is made for.
    void setPoint(int x, int y);
    int x() const { return m_x; }
    int y() const { return m_y; }

    // The horizontal scroll target for the window under the cursor, or 0.
    platform::WindowId GetHScrollBar(platform::WindowId window);
    // False for null, the desktop window and the desktop's icon view.
    bool CheckValidWindow(platform::WindowId window);
    // Whether `window` itself is a usable scroll target of `barType`.
    bool CheckSourceStyle(platform::WindowId window, int barType);
    // The first child when usable, otherwise what CheckSibling finds for it; or 0.
    platform::WindowId CheckChild(platform::WindowId window, int barType);
    // A usable scroll-bar control among the siblings of `window`, or 0.
    platform::WindowId CheckSibling(platform::WindowId window, int barType);

    platform::WindowSystem &windows() { return m_windows; }

private:
    platform::WindowId avlScrollBarChild(platform::WindowId sibling);

    platform::WindowSystem &m_windows;
    platform::InputInjector &m_input;
    int m_x = 0;
    int m_y = 0;
};
