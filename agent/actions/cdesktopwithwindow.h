// Actions on top-level windows: the application switchers (Alt+Tab driven by a
// key or by a wheel), tab switching in dialog boxes, maximising and minimising the
// foreground window, and showing the desktop.
//
// The switchers press their modifier (Alt, and Shift for backwards) once and hold
// it while the user keeps stepping; every step taps Tab and re-arms a timer of
// kHoldMs. When a timer runs out without a new step, its slot releases the
// modifier and the system switches to the selected window. A modifier still held
// when the object is destroyed is released then, so that no key stays down after
// the agent quits.
//
// Main thread only; the timers fire through the main event loop.
#pragma once

#include <QObject>
#include <QString>

class QTimer;
struct AgentPlatform;

class CDesktopWithWindow : public QObject
{
    Q_OBJECT
public:
    // How long a switcher holds its modifier after the last step.
    static constexpr int kHoldMs = 2500;

    // Virtual keys and keybd_event flags the switchers send.
    static constexpr quint8 kVkLeftAlt = 0xA4;     // VK_LMENU
    static constexpr quint8 kVkLeftShift = 0xA0;   // VK_LSHIFT
    static constexpr quint8 kVkLeftControl = 0xA2; // VK_LCONTROL
    static constexpr quint8 kVkTab = 0x09;

    // Show commands accepted by setForegroundState().
    static constexpr int kShowMaximized = 3; // SW_SHOWMAXIMIZED
    static constexpr int kMinimize = 6;      // SW_MINIMIZE

    // Uses platform.input, platform.windows and platform.shell at each call; the
    // platform must outlive the object.
    explicit CDesktopWithWindow(AgentPlatform &platform, QObject *parent = nullptr);
    // Releases a modifier that a switcher still holds.
    ~CDesktopWithWindow() override;

    // One step of the key-driven switcher (Alt held, Tab tapped).
    void switchWindow();
    // One step of the wheel-driven switcher: next → Alt+Tab, previous → Alt+Shift+Tab.
    void wheelSwitchApp(bool next);
    // Ctrl+Tab (or Ctrl+Shift+Tab when `previous`), only when a dialog box is in front.
    void tabSwitch(bool previous);
    // Maximises (3) or minimises (6) the foreground window, except for the desktop
    // and, when maximising, the configurator's own window.
    void setForegroundState(int showCmd);
    // Shows the desktop, or brings the windows back.
    void showDesktop();

    // The title and class of the window last handled by setForegroundState().
    QString foregroundTitle() const { return m_foregroundTitle; }
    QString foregroundClass() const { return m_foregroundClass; }

    // The switchers' timers, for inspection.
    const QTimer *keySwitchTimer() const { return m_keySwitchTimer; }
    const QTimer *wheelBackwardTimer() const { return m_wheelBackwardTimer; }
    const QTimer *wheelForwardTimer() const { return m_wheelForwardTimer; }

public slots:
    // The key switcher's hold ran out: Alt goes up.
    void onStopSwitchWindow();
    // The wheel switcher's forward hold ran out: Alt goes up.
    void onWheelForwardStopSwitchApp();
    // The wheel switcher's backward hold ran out: Shift goes up.
    void onWheelBackwardStopSwitchApp();

private:
    AgentPlatform &m_platform;
    bool m_keySwitchReady = true;
    bool m_wheelAltReady = true;
    bool m_wheelShiftReady = true;
    QTimer *m_keySwitchTimer = nullptr;
    QTimer *m_wheelBackwardTimer = nullptr;
    QTimer *m_wheelForwardTimer = nullptr;
    QString m_foregroundTitle;
    QString m_foregroundClass;
    bool m_noForegroundSaid = false;
};
