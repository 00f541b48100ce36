// An X client window that the desktop tests create: it records the keys and
// buttons it receives and the close requests sent to it, and reports its state
// as the window manager left it.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <xcb/xcb.h>

class TestWindow
{
public:
    // What a window says about its program, set before it is mapped.
    struct Program
    {
        std::uint32_t pid = 0;       // _NET_WM_PID, when not 0
        QVector<std::uint32_t> icon; // _NET_WM_ICON, when not empty
        bool skipTaskbar = false;    // _NET_WM_STATE_SKIP_TASKBAR
    };

    // A mapped 400x300 window at (x, y) with WM_CLASS "velko-test", `className`
    // (no WM_CLASS for an empty `className`) and the title; waits until the window
    // manager has made it the active window (unless the task bar skips it).
    TestWindow(const QString &className, const QString &title, int x = 100, int y = 100);
    TestWindow(const QString &className, const QString &title, int x, int y,
               const Program &program);
    ~TestWindow();

    bool isActive() const;
    // Asks the window manager to activate the window, as a task bar does, and
    // waits until it is the active window; whether it became so.
    bool activate();
    xcb_window_t id() const { return m_window; }

    // Everything received so far, after waiting until there are `count` records
    // (at least 300 ms when none is awaited) or 3 s have passed: "+<keysym>" /
    // "-<keysym>" for keys (hex keysym, then "+ctrl" etc. for the modifiers
    // held), "b+<n>" / "b-<n>" for buttons, "close" for a close request.
    QStringList received(int count);

    bool maximised() const; // both _NET_WM_STATE_MAXIMIZED flags
    bool minimised() const; // WM_STATE iconic

    // Moves the pointer to the window's middle.
    void pointAt() const;

private:
    xcb_atom_t atom(const char *name) const;
    std::uint32_t keysymOf(xcb_keycode_t code) const;
    xcb_connection_t *m_c;
    xcb_window_t m_window = 0;
    QStringList m_records;
};

// The 32-bit values of the root window's `property` on $DISPLAY; none when unreadable.
QVector<std::uint32_t> rootProperty(const char *property);
