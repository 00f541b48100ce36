// Other programs' windows on X11, through xcb and the window manager's EWMH
// hints. A window id is the client window the program created (not the window
// manager's frame); the root window stands for the desktop. Linux programs draw
// their scroll bars themselves, so there are no scroll-bar windows, no styles and
// no child windows to walk: the horizontal-scroll search finds nothing and the
// agent falls back to the horizontal wheel, which Linux programs understand.
// Of the posted messages only WM_CLOSE has a counterpart (_NET_CLOSE_WINDOW).
//
// On wlroots compositors the window in front, its name and the maximise and
// minimise requests go through the compositor's window list instead, which
// knows native Wayland windows and XWayland ones alike (compositor_windows.h).
#include "compositor_windows.h"
#include "window_system.h"
#include "x11_connection.h"

#include <QString>

#include <cstdlib>
#include <deque>

namespace platform {
namespace {

using linuxport::CompositorWindows;
using linuxport::XConnection;

constexpr int kSwShowNormal = 1;
constexpr int kSwShowMaximized = 3;
constexpr int kSwMinimize = 6;
constexpr int kSwRestore = 9;
constexpr std::uint32_t kIconicState = 3; // ICCCM WM_CHANGE_STATE

// UTF-8 text cut to what a buffer of `maxChars` UTF-16 units (terminator
// included) would hold.
std::string truncated(const std::string &text, std::size_t maxChars)
{
    if (maxChars == 0)
        return {};
    const QString wide = QString::fromUtf8(text.data(), int(text.size()));
    return wide.left(int(maxChars - 1)).toStdString();
}

class LinuxWindowSystem : public WindowSystem
{
public:
    // The compositor's window list from the start, so that it is up to date at
    // the first question.
    LinuxWindowSystem() { CompositorWindows::instance(); }

    WindowId windowFromPoint(Point screen) override
    {
        XConnection *x = linuxport::xConnection();
        if (!x)
            return 0;
        xcb_translate_coordinates_reply_t *reply = xcb_translate_coordinates_reply(
            x->connection,
            xcb_translate_coordinates(x->connection, x->root, x->root, std::int16_t(screen.x),
                                      std::int16_t(screen.y)),
            nullptr);
        const xcb_window_t top = reply ? reply->child : XCB_NONE;
        free(reply);
        if (top == XCB_NONE)
            return x->root;
        const xcb_window_t client = clientOf(*x, top);
        return client ? client : top;
    }
    WindowId desktopWindow() override
    {
        XConnection *x = linuxport::xConnection();
        return x ? x->root : 0;
    }
    WindowId foregroundWindow() override
    {
        if (CompositorWindows *list = CompositorWindows::answering())
            return list->active();
        XConnection *x = linuxport::xConnection();
        if (!x)
            return 0;
        xcb_window_t active = XCB_NONE;
        if (!xcb_ewmh_get_active_window_reply(&x->ewmh, xcb_ewmh_get_active_window(&x->ewmh, 0),
                                              &active, nullptr))
            return 0;
        return active;
    }
    std::string className(WindowId window, std::size_t maxChars) override
    {
        linuxport::CompositorWindow toplevel;
        if (wayland(window, toplevel))
            return truncated(toplevel.appId, maxChars);
        XConnection *x = linuxport::xConnection();
        if (!x || !window)
            return {};
        // WM_CLASS holds the instance name and the class name, each terminated.
        const std::string value =
            linuxport::windowProperty(*x, xcb_window_t(window), XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
        const std::size_t split = value.find('\0');
        if (split == std::string::npos)
            return {};
        return truncated(value.substr(split + 1, value.find('\0', split + 1) - split - 1),
                         maxChars);
    }
    std::string title(WindowId window, std::size_t maxChars) override
    {
        linuxport::CompositorWindow toplevel;
        if (wayland(window, toplevel))
            return truncated(toplevel.title, maxChars);
        XConnection *x = linuxport::xConnection();
        if (!x || !window)
            return {};
        std::string value = linuxport::windowProperty(*x, xcb_window_t(window),
                                                      x->ewmh._NET_WM_NAME, x->ewmh.UTF8_STRING);
        if (value.empty())
            value = linuxport::windowProperty(*x, xcb_window_t(window), XCB_ATOM_WM_NAME,
                                              XCB_GET_PROPERTY_TYPE_ANY);
        return truncated(value, maxChars);
    }
    std::uint32_t style(WindowId) override { return 0; }
    bool screenRect(WindowId window, Rect &out) override
    {
        XConnection *x = linuxport::xConnection();
        if (!x || !window)
            return false;
        xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(
            x->connection, xcb_get_geometry(x->connection, xcb_window_t(window)), nullptr);
        if (!geometry)
            return false;
        Point origin;
        const bool ok = translate(*x, xcb_window_t(window), x->root, {0, 0}, origin);
        out = {origin.x, origin.y, origin.x + geometry->width, origin.y + geometry->height};
        free(geometry);
        return ok;
    }
    WindowId parent(WindowId) override { return 0; }
    WindowId firstChild(WindowId) override { return 0; }
    WindowId nextSibling(WindowId) override { return 0; }
    WindowId previousSibling(WindowId) override { return 0; }
    WindowId findChild(WindowId, WindowId) override { return 0; }
    WindowId childFromPoint(WindowId, Point) override { return 0; }
    Point screenToClient(WindowId window, Point screen) override
    {
        XConnection *x = linuxport::xConnection();
        Point client = screen;
        if (x && window)
            translate(*x, x->root, xcb_window_t(window), screen, client);
        return client;
    }
    bool enumerateDescendants(WindowId, const std::function<bool(WindowId)> &,
                              std::uint32_t &) override
    {
        return true; // no child windows to visit
    }
    bool postMessage(WindowId window, std::uint32_t message, std::uintptr_t, std::intptr_t) override
    {
        XConnection *x = linuxport::xConnection();
        if (!x || !window || message != kWmClose)
            return false;
        xcb_ewmh_request_close_window(&x->ewmh, 0, xcb_window_t(window), XCB_CURRENT_TIME,
                                      XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
        xcb_flush(x->connection);
        return true;
    }
    bool isZoomed(WindowId window) override
    {
        linuxport::CompositorWindow toplevel;
        if (wayland(window, toplevel))
            return toplevel.maximized;
        XConnection *x = linuxport::xConnection();
        if (!x || !window)
            return false;
        xcb_ewmh_get_atoms_reply_t states;
        if (!xcb_ewmh_get_wm_state_reply(
                &x->ewmh, xcb_ewmh_get_wm_state(&x->ewmh, xcb_window_t(window)), &states, nullptr))
            return false;
        int maximised = 0;
        for (std::uint32_t i = 0; i < states.atoms_len; ++i)
            maximised += states.atoms[i] == x->ewmh._NET_WM_STATE_MAXIMIZED_VERT ||
                         states.atoms[i] == x->ewmh._NET_WM_STATE_MAXIMIZED_HORZ;
        xcb_ewmh_get_atoms_reply_wipe(&states);
        return maximised == 2;
    }
    bool showWindow(WindowId window, int showCmd) override
    {
        if (linuxport::isWaylandWindow(window)) {
            CompositorWindows *list = CompositorWindows::instance();
            if (!list)
                return false;
            switch (showCmd) {
            case kSwShowMaximized:
                return list->setMaximized(window, true);
            case kSwMinimize:
                return list->setMinimized(window, true);
            case kSwShowNormal:
            case kSwRestore:
                return list->setMinimized(window, false) && list->setMaximized(window, false);
            default:
                return false;
            }
        }
        XConnection *x = linuxport::xConnection();
        if (!x || !window)
            return false;
        const xcb_window_t w = xcb_window_t(window);
        switch (showCmd) {
        case kSwShowMaximized:
        case kSwShowNormal:
        case kSwRestore:
            xcb_ewmh_request_change_wm_state(
                &x->ewmh, 0, w,
                showCmd == kSwShowMaximized ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE,
                x->ewmh._NET_WM_STATE_MAXIMIZED_VERT, x->ewmh._NET_WM_STATE_MAXIMIZED_HORZ,
                XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
            xcb_ewmh_request_change_active_window(&x->ewmh, 0, w, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                                  XCB_CURRENT_TIME, XCB_NONE);
            break;
        case kSwMinimize: {
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = w;
            event.type = x->atom("WM_CHANGE_STATE");
            event.data.data32[0] = kIconicState;
            xcb_send_event(x->connection, 0, x->root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                               XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char *>(&event));
            break;
        }
        default:
            return false;
        }
        xcb_flush(x->connection);
        return true;
    }

private:
    static bool wayland(WindowId window, linuxport::CompositorWindow &out)
    {
        CompositorWindows *list =
            linuxport::isWaylandWindow(window) ? CompositorWindows::instance() : nullptr;
        return list && list->find(window, out);
    }

    static bool translate(XConnection &x, xcb_window_t from, xcb_window_t to, Point in, Point &out)
    {
        xcb_translate_coordinates_reply_t *reply = xcb_translate_coordinates_reply(
            x.connection,
            xcb_translate_coordinates(x.connection, from, to, std::int16_t(in.x),
                                      std::int16_t(in.y)),
            nullptr);
        if (!reply)
            return false;
        out = {reply->dst_x, reply->dst_y};
        free(reply);
        return true;
    }

    // The client window inside a top-level window: the one the window manager
    // marked with WM_STATE, searched breadth first; 0 when there is none.
    static xcb_window_t clientOf(XConnection &x, xcb_window_t top)
    {
        const xcb_atom_t wmState = x.atom("WM_STATE");
        std::deque<xcb_window_t> queue{top};
        for (int visited = 0; !queue.empty() && visited < 64; ++visited) {
            const xcb_window_t w = queue.front();
            queue.pop_front();
            if (!linuxport::windowProperty(x, w, wmState, XCB_GET_PROPERTY_TYPE_ANY).empty())
                return w;
            xcb_query_tree_reply_t *tree =
                xcb_query_tree_reply(x.connection, xcb_query_tree(x.connection, w), nullptr);
            if (!tree)
                continue;
            const xcb_window_t *children = xcb_query_tree_children(tree);
            for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
                queue.push_back(children[i]);
            free(tree);
        }
        return 0;
    }
};

} // namespace

std::unique_ptr<WindowSystem> createWindowSystem()
{
    return std::make_unique<LinuxWindowSystem>();
}

} // namespace platform
