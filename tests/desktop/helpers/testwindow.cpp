#include "testwindow.h"

#include <QElapsedTimer>
#include <QThread>

#include <cstdlib>
#include <cstring>

TestWindow::TestWindow(const QString &className, const QString &title, int x, int y)
    : TestWindow(className, title, x, y, Program())
{
}

TestWindow::TestWindow(const QString &className, const QString &title, int x, int y,
                       const Program &program)
    : m_c(xcb_connect(nullptr, nullptr))
{
    if (xcb_connection_has_error(m_c))
        return;
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
    m_window = xcb_generate_id(m_c);
    const std::uint32_t values[] = {
        screen->white_pixel, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                 XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE};
    xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, screen->root, std::int16_t(x),
                      std::int16_t(y), 400, 300, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const QByteArray wmClass = QByteArray("velko-test", 11) + className.toUtf8() + QByteArray(1, 0);
    if (!className.isEmpty())
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_CLASS,
                            XCB_ATOM_STRING, 8, std::uint32_t(wmClass.size()), wmClass.constData());
    if (program.pid)
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_window, atom("_NET_WM_PID"),
                            XCB_ATOM_CARDINAL, 32, 1, &program.pid);
    if (!program.icon.isEmpty())
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_window, atom("_NET_WM_ICON"),
                            XCB_ATOM_CARDINAL, 32, std::uint32_t(program.icon.size()),
                            program.icon.constData());
    if (program.skipTaskbar) {
        const xcb_atom_t skip = atom("_NET_WM_STATE_SKIP_TASKBAR");
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_window, atom("_NET_WM_STATE"),
                            XCB_ATOM_ATOM, 32, 1, &skip);
    }
    const QByteArray name = title.toUtf8();
    xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_window, atom("_NET_WM_NAME"),
                        atom("UTF8_STRING"), 8, std::uint32_t(name.size()), name.constData());
    const xcb_atom_t deleteWindow = atom("WM_DELETE_WINDOW");
    xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_window, atom("WM_PROTOCOLS"), XCB_ATOM_ATOM,
                        32, 1, &deleteWindow);
    xcb_map_window(m_c, m_window);
    xcb_flush(m_c);
    QElapsedTimer timer;
    timer.start();
    // openbox does not give the focus to a window the task bar skips.
    while (!program.skipTaskbar && !isActive() && timer.elapsed() < 5000)
        QThread::msleep(20);
}

bool TestWindow::activate()
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = m_window;
    event.type = atom("_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 2; // from a pager or task bar: no focus-stealing prevention
    xcb_send_event(m_c, 0, xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(m_c);
    QElapsedTimer timer;
    timer.start();
    while (!isActive() && timer.elapsed() < 5000)
        QThread::msleep(20);
    return isActive();
}

TestWindow::~TestWindow()
{
    xcb_disconnect(m_c);
}

xcb_atom_t TestWindow::atom(const char *name) const
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(
        m_c, xcb_intern_atom(m_c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : 0;
    free(r);
    return a;
}

namespace {
QVector<std::uint32_t> property32(xcb_connection_t *c, xcb_window_t w, xcb_atom_t property)
{
    QVector<std::uint32_t> values;
    xcb_get_property_reply_t *p = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 64), nullptr);
    if (p && p->format == 32) {
        const auto *v = static_cast<const std::uint32_t *>(xcb_get_property_value(p));
        for (int i = 0; i < xcb_get_property_value_length(p) / 4; ++i)
            values << v[i];
    }
    free(p);
    return values;
}
} // namespace

QVector<std::uint32_t> rootProperty(const char *property)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    QVector<std::uint32_t> values;
    if (!xcb_connection_has_error(c)) {
        xcb_intern_atom_reply_t *a = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(property)), property), nullptr);
        if (a)
            values = property32(c, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, a->atom);
        free(a);
    }
    xcb_disconnect(c);
    return values;
}

bool TestWindow::isActive() const
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    const auto active = property32(m_c, root, atom("_NET_ACTIVE_WINDOW"));
    return !active.isEmpty() && active[0] == m_window;
}

bool TestWindow::maximised() const
{
    const auto states = property32(m_c, m_window, atom("_NET_WM_STATE"));
    return states.contains(atom("_NET_WM_STATE_MAXIMIZED_VERT")) &&
           states.contains(atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
}

bool TestWindow::minimised() const
{
    const auto state = property32(m_c, m_window, atom("WM_STATE"));
    return !state.isEmpty() && state[0] == 3; // IconicState
}

void TestWindow::pointAt() const
{
    xcb_warp_pointer(m_c, XCB_NONE, m_window, 0, 0, 0, 0, 200, 150);
    free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
}

std::uint32_t TestWindow::keysymOf(xcb_keycode_t code) const
{
    xcb_get_keyboard_mapping_reply_t *r =
        xcb_get_keyboard_mapping_reply(m_c, xcb_get_keyboard_mapping(m_c, code, 1), nullptr);
    const std::uint32_t sym =
        r && r->keysyms_per_keycode ? xcb_get_keyboard_mapping_keysyms(r)[0] : 0;
    free(r);
    return sym;
}

QStringList TestWindow::received(int count)
{
    static const struct
    {
        std::uint16_t mask;
        const char *name;
    } kModifiers[] = {{XCB_MOD_MASK_CONTROL, "+ctrl"},
                      {XCB_MOD_MASK_SHIFT, "+shift"},
                      {XCB_MOD_MASK_1, "+alt"},
                      {XCB_MOD_MASK_4, "+super"}};
    const xcb_atom_t protocols = atom("WM_PROTOCOLS");
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        xcb_generic_event_t *e = xcb_poll_for_event(m_c);
        if (!e) {
            const bool enough = m_records.size() >= count && (count > 0 || timer.elapsed() >= 300);
            if (enough || timer.elapsed() >= 3000)
                break;
            QThread::msleep(10);
            continue;
        }
        const int type = e->response_type & 0x7f;
        if (type >= XCB_KEY_PRESS && type <= XCB_BUTTON_RELEASE) {
            // Key and button events share their layout.
            auto *k = reinterpret_cast<xcb_key_press_event_t *>(e);
            const bool key = type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE;
            const bool press = type == XCB_KEY_PRESS || type == XCB_BUTTON_PRESS;
            QString text =
                key ? QStringLiteral("%1%2").arg(press ? '+' : '-').arg(keysymOf(k->detail), 0, 16)
                    : QStringLiteral("b%1%2").arg(press ? '+' : '-').arg(k->detail);
            for (const auto &m : kModifiers)
                if (k->state & m.mask)
                    text += QLatin1String(m.name);
            m_records << text;
        } else if (type == XCB_CLIENT_MESSAGE &&
                   reinterpret_cast<xcb_client_message_event_t *>(e)->type == protocols) {
            m_records << QStringLiteral("close");
        }
        free(e);
    }
    return m_records;
}
