#include "cdesktopwithwindow.h"

#include "agentlog.h"
#include "agentplatform.h"

#include <QDebug>
#include <QTimer>

namespace {

constexpr int kStepPauseMs = 50;

} // namespace

CDesktopWithWindow::CDesktopWithWindow(AgentPlatform &platform, QObject *parent)
    : QObject(parent), m_platform(platform), m_keySwitchTimer(new QTimer(this)),
      m_wheelBackwardTimer(new QTimer(this)), m_wheelForwardTimer(new QTimer(this))
{
    connect(m_keySwitchTimer, &QTimer::timeout, this, &CDesktopWithWindow::onStopSwitchWindow);
    connect(m_wheelBackwardTimer, &QTimer::timeout, this,
            &CDesktopWithWindow::onWheelBackwardStopSwitchApp);
    connect(m_wheelForwardTimer, &QTimer::timeout, this,
            &CDesktopWithWindow::onWheelForwardStopSwitchApp);
}

CDesktopWithWindow::~CDesktopWithWindow()
{
    // A switcher that is still holding its modifier would leave Alt or Shift down
    // for the whole system once we are gone.
    if (!m_platform.input)
        return;
    if (!m_wheelShiftReady)
        onWheelBackwardStopSwitchApp();
    if (!m_wheelAltReady)
        onWheelForwardStopSwitchApp();
    if (!m_keySwitchReady)
        onStopSwitchWindow();
}

void CDesktopWithWindow::switchWindow()
{
    platform::InputInjector &input = *m_platform.input;
    qCDebug(lcAgentActions) << "start switch window";
    if (m_keySwitchReady) {
        m_keySwitchReady = false;
        input.keyEvent(kVkLeftAlt, platform::kKeyExtended);
        m_keySwitchTimer->start(kHoldMs);
    }
    input.pause(kStepPauseMs);
    input.keyEvent(kVkTab, platform::kKeyExtended);
    input.pause(kStepPauseMs);
    if (m_keySwitchTimer->isActive()) {
        m_keySwitchTimer->stop();
        m_keySwitchTimer->start(kHoldMs);
    }
    input.keyEvent(kVkTab, platform::kKeyExtendedUp);
}

void CDesktopWithWindow::onStopSwitchWindow()
{
    qCDebug(lcAgentActions) << "恢复按键弹起";
    m_platform.input->keyEvent(kVkLeftAlt, platform::kKeyUp);
    m_keySwitchReady = true;
    m_keySwitchTimer->stop();
}

void CDesktopWithWindow::wheelSwitchApp(bool next)
{
    platform::InputInjector &input = *m_platform.input;
    if (m_wheelAltReady) {
        input.keyEvent(kVkLeftAlt, platform::kKeyDown);
        m_wheelAltReady = false;
        m_wheelForwardTimer->start(kHoldMs);
    }
    if (next) {
        if (m_wheelBackwardTimer->isActive())
            onWheelBackwardStopSwitchApp();
        input.keyEvent(kVkTab, platform::kKeyDown);
        input.pause(kStepPauseMs);
        if (m_wheelForwardTimer->isActive())
            m_wheelForwardTimer->start(kHoldMs);
    } else {
        if (m_wheelShiftReady) {
            input.keyEvent(kVkLeftShift, platform::kKeyDown);
            m_wheelShiftReady = false;
            m_wheelBackwardTimer->start(kHoldMs);
        }
        input.keyEvent(kVkTab, platform::kKeyDown);
        input.pause(kStepPauseMs);
        if (m_wheelBackwardTimer->isActive())
            m_wheelBackwardTimer->start(kHoldMs);
    }
    input.keyEvent(kVkTab, platform::kKeyUp);
}

void CDesktopWithWindow::onWheelForwardStopSwitchApp()
{
    qCDebug(lcAgentActions) << "恢复按键弹起 VK_LMENU";
    m_platform.input->keyEvent(kVkLeftAlt, platform::kKeyUp);
    m_wheelAltReady = true;
    m_wheelForwardTimer->stop();
}

void CDesktopWithWindow::onWheelBackwardStopSwitchApp()
{
    qCDebug(lcAgentActions) << "恢复按键弹起 VK_SHIFT";
    m_platform.input->keyEvent(kVkLeftShift, platform::kKeyUp);
    m_wheelShiftReady = true;
    m_wheelBackwardTimer->stop();
}

void CDesktopWithWindow::tabSwitch(bool previous)
{
    platform::WindowSystem &windows = *m_platform.windows;
    const QString className =
        QString::fromStdString(windows.className(windows.foregroundWindow(), 260));
    if (className.compare(QLatin1String("#32770"), Qt::CaseInsensitive) != 0)
        return;

    platform::InputInjector &input = *m_platform.input;
    input.keyEvent(kVkLeftControl, platform::kKeyExtended);
    if (previous) {
        input.keyEvent(kVkLeftShift, platform::kKeyExtended);
        input.keyEvent(kVkTab, platform::kKeyExtended);
        input.keyEvent(kVkTab, platform::kKeyExtendedUp);
        input.keyEvent(kVkLeftShift, platform::kKeyExtendedUp);
    } else {
        input.keyEvent(kVkTab, platform::kKeyExtended);
        input.keyEvent(kVkTab, platform::kKeyExtendedUp);
    }
    input.keyEvent(kVkLeftControl, platform::kKeyExtendedUp);
}

void CDesktopWithWindow::setForegroundState(int showCmd)
{
    qCDebug(lcAgentActions) << "-----" << showCmd;
    platform::WindowSystem &windows = *m_platform.windows;
    const platform::WindowId window = windows.foregroundWindow();
    if (!window) {
        // No window in front that the agent can see (a native Wayland window, for
        // one): said once a run.
        if (!m_noForegroundSaid)
            qWarning().noquote() << QStringLiteral(
                "%1: not available: no window in front is known to the agent on this desktop; "
                "it does nothing").arg(showCmd == kShowMaximized ? QLatin1String("Max window")
                                                                 : QLatin1String("Min window"));
        m_noForegroundSaid = true;
        return;
    }
    m_foregroundTitle = QString::fromStdString(windows.title(window, 1024));
    m_foregroundClass = QString::fromStdString(windows.className(window, 260));
    qCDebug(lcAgentActions) << "currentText" << m_foregroundTitle << m_foregroundClass;

    const bool desktop = m_foregroundTitle == QLatin1String("Program Manager") ||
                         m_foregroundClass == QLatin1String("WorkerW");
    if (showCmd == kShowMaximized) {
        if (desktop || m_foregroundTitle == QLatin1String("VelkoOptionsGUI") ||
            m_foregroundClass == QLatin1String("Qt5QWindowOwnDCIcon") || windows.isZoomed(window))
            return;
        windows.showWindow(window, kShowMaximized);
    } else if (showCmd == kMinimize) {
        if (desktop)
            return;
        windows.showWindow(window, kMinimize);
    }
}

void CDesktopWithWindow::showDesktop()
{
    m_platform.shell->toggleDesktop();
}
