// Synthetic input on Linux. Chosen once at start: XTest on an X11 session (the
// events reach the X server as if typed), otherwise a uinput virtual keyboard and
// mouse where /dev/uinput is writable (Wayland sessions and consoles). Windows
// virtual keys go through the key table; X buttons 8 and 9 are back and forward.
#include "input.h"
#include "keymap_linux.h"
#include "uinput_linux.h"
#include "unavailable.h"
#include "compositor_windows.h"
#include "x11_connection.h"

#include <QDebug>
#include <QThread>

#include <linux/input-event-codes.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {
namespace {

// One mouse_event flag and what it means on Linux.
struct ButtonFlag
{
    std::uint32_t flag;
    bool down;
    std::uint8_t xButton; // X core button; 0 for the X buttons, which take `data`
    std::uint16_t linuxButton;
};

constexpr ButtonFlag kButtonFlags[] = {
    {kMouseLeftDown, true, 1, BTN_LEFT},
    {kMouseLeftUp, false, 1, BTN_LEFT},
    {kMouseRightDown, true, 3, BTN_RIGHT},
    {kMouseRightUp, false, 3, BTN_RIGHT},
    {kMouseMiddleDown, true, 2, BTN_MIDDLE},
    {kMouseMiddleUp, false, 2, BTN_MIDDLE},
    {kMouseXDown, true, 0, 0},
    {kMouseXUp, false, 0, 0},
};

int notchesOf(std::int32_t data)
{
    const int notches = data / 120;
    return notches != 0 ? notches : (data > 0 ? 1 : (data < 0 ? -1 : 0));
}

// The low-level half every backend provides.
class InputSink
{
public:
    virtual ~InputSink() = default;
    virtual void key(const linuxport::KeyMapping &key, bool down) = 0;
    // xButton: the X core button number; linuxButton: BTN_*.
    virtual void button(std::uint8_t xButton, std::uint16_t linuxButton, bool down) = 0;
    virtual void wheel(int notches, bool horizontal) = 0;
};

class XTestSink : public InputSink
{
public:
    explicit XTestSink(linuxport::XConnection &x) : m_x(x) {}

    void key(const linuxport::KeyMapping &key, bool down) override
    {
        const xcb_keycode_t code = keycodeOf(key.keysym);
        if (!code) {
            qWarning() << "synthetic input: no key code for keysym" << Qt::hex << key.keysym;
            return;
        }
        fake(down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code);
    }
    void button(std::uint8_t xButton, std::uint16_t, bool down) override
    {
        fake(down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, xButton);
    }
    void wheel(int notches, bool horizontal) override
    {
        // Buttons 4/5 scroll up/down, 6/7 left/right.
        const std::uint8_t button = horizontal ? (notches > 0 ? 7 : 6) : (notches > 0 ? 4 : 5);
        for (int i = 0; i < std::abs(notches); ++i) {
            fake(XCB_BUTTON_PRESS, button);
            fake(XCB_BUTTON_RELEASE, button);
        }
    }

private:
    void fake(std::uint8_t type, std::uint8_t detail)
    {
        xcb_test_fake_input(m_x.connection, type, detail, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(m_x.connection);
    }

    // The first key code producing `keysym`; a key code without symbols is bound
    // to it when the keyboard has none (as for media keys on a bare server).
    xcb_keycode_t keycodeOf(std::uint32_t keysym)
    {
        const xcb_setup_t *setup = xcb_get_setup(m_x.connection);
        const int first = setup->min_keycode;
        const int count = setup->max_keycode - first + 1;
        xcb_get_keyboard_mapping_reply_t *reply = xcb_get_keyboard_mapping_reply(
            m_x.connection, xcb_get_keyboard_mapping(m_x.connection, xcb_keycode_t(first), count),
            nullptr);
        if (!reply)
            return 0;
        const int perCode = reply->keysyms_per_keycode;
        const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply);
        xcb_keycode_t found = 0;
        xcb_keycode_t spare = 0;
        for (int i = 0; i < count && !found; ++i) {
            bool empty = true;
            for (int j = 0; j < perCode; ++j) {
                const xcb_keysym_t sym = syms[i * perCode + j];
                empty = empty && sym == 0;
                if (sym == keysym) {
                    found = xcb_keycode_t(first + i);
                    break;
                }
            }
            if (empty && !spare && first + i > 8)
                spare = xcb_keycode_t(first + i);
        }
        if (!found && spare && perCode > 0) {
            std::vector<xcb_keysym_t> row(size_t(perCode), keysym);
            xcb_change_keyboard_mapping(m_x.connection, 1, spare, std::uint8_t(perCode),
                                        row.data());
            sync();
            found = spare;
        }
        free(reply);
        return found;
    }
    // Waits until the server has handled every request sent so far.
    void sync()
    {
        free(xcb_get_input_focus_reply(m_x.connection, xcb_get_input_focus(m_x.connection),
                                       nullptr));
    }

    linuxport::XConnection &m_x;
};

class UinputSink : public InputSink
{
public:
    explicit UinputSink(std::unique_ptr<linuxport::UinputDevice> device)
        : m_device(std::move(device))
    {
    }
    void key(const linuxport::KeyMapping &key, bool down) override
    {
        m_device->key(key.linuxKey, down);
    }
    void button(std::uint8_t, std::uint16_t linuxButton, bool down) override
    {
        m_device->key(linuxButton, down);
    }
    void wheel(int notches, bool horizontal) override { m_device->wheel(notches, horizontal); }

private:
    std::unique_ptr<linuxport::UinputDevice> m_device;
};

bool xtestPresent(linuxport::XConnection &x)
{
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(x.connection, &xcb_test_id);
    return ext && ext->present;
}

std::unique_ptr<InputSink> chooseSink()
{
    linuxport::XConnection *x = linuxport::waylandSession() ? nullptr : linuxport::xConnection();
    if (x && xtestPresent(*x)) {
        qInfo() << "synthetic input: XTest";
        return std::make_unique<XTestSink>(*x);
    }
    if (auto device = linuxport::UinputDevice::create(linuxport::openUinput())) {
        qInfo() << "synthetic input: uinput virtual device";
        return std::make_unique<UinputSink>(std::move(device));
    }
    qWarning() << "synthetic input: not available (no X server with XTest, and /dev/uinput is "
                  "not writable: see the README for the udev rule)";
    return nullptr;
}

class LinuxInputInjector : public InputInjector
{
public:
    LinuxInputInjector() : m_sink(chooseSink()) {}

    void keyEvent(std::uint8_t virtualKey, std::uint32_t flags) override
    {
        if (!m_sink)
            return;
        const linuxport::KeyMapping *key = linuxport::findKey(virtualKey);
        if (!key) {
            qWarning() << "synthetic input: no Linux key for virtual key" << Qt::hex << virtualKey;
            return;
        }
        m_sink->key(*key, (flags & kKeyUp) == 0);
    }
    void mouseEvent(std::uint32_t flags, std::int32_t data) override
    {
        if (!m_sink)
            return;
        for (const ButtonFlag &b : kButtonFlags) {
            if (!(flags & b.flag))
                continue;
            if (b.xButton)
                m_sink->button(b.xButton, b.linuxButton, b.down);
            else if (data == 1 || data == 2) // XBUTTON1 back, XBUTTON2 forward
                m_sink->button(std::uint8_t(7 + data), data == 1 ? BTN_SIDE : BTN_EXTRA, b.down);
        }
        if (flags & kMouseWheel)
            m_sink->wheel(notchesOf(data), false);
        if (flags & kMouseHWheel)
            m_sink->wheel(notchesOf(data), true);
    }
    Point cursorPos() override
    {
        if (linuxport::XConnection *x = linuxport::xConnection()) {
            xcb_query_pointer_reply_t *reply = xcb_query_pointer_reply(
                x->connection, xcb_query_pointer(x->connection, x->root), nullptr);
            if (reply) {
                const Point p{reply->root_x, reply->root_y};
                free(reply);
                return p;
            }
            return {};
        }
        return {};
    }
    void pause(int milliseconds) override { QThread::msleep(unsigned(milliseconds)); }

private:
    std::unique_ptr<InputSink> m_sink;
};

} // namespace

std::unique_ptr<InputInjector> createInputInjector()
{
    return std::make_unique<LinuxInputInjector>();
}

} // namespace platform
