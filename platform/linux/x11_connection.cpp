#include "x11_connection.h"

#include <QDebug>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace platform::linuxport {
namespace {

struct Holder
{
    bool tried = false;
    std::unique_ptr<XConnection> x;
    std::map<std::string, xcb_atom_t> atoms;
    ~Holder()
    {
        if (x) {
            xcb_ewmh_connection_wipe(&x->ewmh);
            xcb_disconnect(x->connection);
        }
    }
};

Holder &holder()
{
    static Holder h;
    return h;
}

} // namespace

xcb_atom_t XConnection::atom(const char *name)
{
    auto &atoms = holder().atoms;
    const auto found = atoms.find(name);
    if (found != atoms.end())
        return found->second;
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : 0;
    free(reply);
    if (value)
        atoms.emplace(name, value);
    return value;
}

XConnection *xConnection()
{
    Holder &h = holder();
    if (h.tried)
        return h.x.get();
    h.tried = true;
    const char *display = std::getenv("DISPLAY");
    if (!display || !*display) {
        qWarning() << "X display: none ($DISPLAY is not set); input, windows, pointer speed and "
                      "gamma use no X server";
        return nullptr;
    }
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(display, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        qWarning() << "X display: cannot connect to" << display;
        return nullptr;
    }
    auto x = std::make_unique<XConnection>();
    x->connection = connection;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    x->screen = it.data;
    x->root = it.data->root;
    xcb_intern_atom_cookie_t *cookies = xcb_ewmh_init_atoms(connection, &x->ewmh);
    if (!xcb_ewmh_init_atoms_replies(&x->ewmh, cookies, nullptr)) {
        xcb_disconnect(connection);
        qWarning() << "X display: cannot read the window manager's atoms on" << display;
        return nullptr;
    }
    h.x = std::move(x);
    return h.x.get();
}

std::string windowProperty(XConnection &x, xcb_window_t window, xcb_atom_t property,
                           xcb_atom_t type)
{
    if (!window || !property)
        return {};
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        x.connection, xcb_get_property(x.connection, 0, window, property, type, 0, 1 << 16),
        nullptr);
    std::string value;
    if (reply && reply->type != XCB_NONE) {
        const int length = xcb_get_property_value_length(reply);
        value.assign(static_cast<const char *>(xcb_get_property_value(reply)), size_t(length));
    }
    free(reply);
    return value;
}

} // namespace platform::linuxport
