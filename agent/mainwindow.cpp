#include "mainwindow.h"

#include "agentlog.h"
#include "agentplatform.h"
#include "controls.h"
#include "singletonglobalmousehook.h"

#include <QDebug>

#include <array>

namespace {

using Route = MainWindow::Route;
using Kind = Route::Kind;

// Indexed by button-event code.
const std::array<Route, 12> kRoutes = {{
    {Kind::Key, controls::MidKey, false, nullptr, "C_MID_MOUSE_MSG"},
    {Kind::Key, controls::MidKey, true, nullptr, "C_MID_MOUSE_MSG"},
    {Kind::Wheel, controls::SideWheel, false, "down", "C_SLIDER_MOUSE_WHEEL"},
    {Kind::Wheel, controls::SideWheel, false, "up", nullptr},
    {Kind::Key, controls::SideUpKey, false, nullptr, "C_SLIDER_MOUSE_BEFORE"},
    {Kind::Key, controls::SideUpKey, true, nullptr, "C_SLIDER_MOUSE_BEFORE"},
    {Kind::Key, controls::SideDownKey, false, nullptr, "C_SLIDER_MOUSE_BEHIND"},
    {Kind::Key, controls::SideDownKey, true, nullptr, "C_SLIDER_MOUSE_BEHIND"},
    {Kind::Key, controls::RightKey, false, nullptr, "C_RIGHT_MOUSE_MSG"},
    {Kind::Key, controls::RightKey, true, nullptr, "C_RIGHT_MOUSE_MSG"},
    {Kind::Wheel, controls::MidWheel, false, "down", "C_MID_MOUSE_WHEEL_DOWN"},
    {Kind::Wheel, controls::MidWheel, false, "up", "C_MID_MOUSE_WHEEL_UP"},
}};

} // namespace

MainWindow::Route MainWindow::routeFor(std::uintptr_t msgType)
{
    return msgType < kRoutes.size() ? kRoutes[msgType] : Route();
}

MainWindow::MainWindow(AgentPlatform &platform)
    : AgentWindowBase(nullptr), m_messages(platform.nativeMessages.get()),
      m_deviceWindow(*platform.messageWindow, *platform.hid), m_dispatcher(platform)
{
    setObjectName(QStringLiteral("MainWindow"));
    resize(733, 434);
    auto *central = new AgentWidgetBase(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);
    const QString title = tr("MainWindow");
    setWindowTitle(title);
    if (m_messages && m_messages->canPost()) {
        m_hookWindow = m_messages->createReceiver(
            title.toStdString(), [this](const platform::NativeMessage &m) { receive(m); });
        if (!m_hookWindow)
            qWarning() << "MainWindow: no message window; events go through the event loop";
    }

    connect(SingletonGlobalMouseHook::instance(), &SingletonGlobalMouseHook::sig_mouseHookParam,
            this, &MainWindow::onHookMouseMsg);
    connect(&m_deviceWindow, &VLNativeEventFilter::sigConnectDev, this, [this](bool present) {
        if (!present)
            m_dispatcher.releaseHeldKeys();
    });
    m_deviceWindow.registerDeviceNotify();
    qDebug() << "是否有设备：" << (m_deviceWindow.CheckDevice() ? "true" : "false");
}

MainWindow::~MainWindow() = default;

void MainWindow::onHookMouseMsg(int msgType, int msgCode)
{
    qCDebug(lcAgentEvents) << "MainWindow::onHookMouseMsg" << msgType << msgCode;
    // Negative codes travel as large unsigned numbers, as in a window message.
    const auto wParam = std::uintptr_t(std::intptr_t(msgType));
    if (m_hookWindow) {
        // A lost post loses this one event; nothing is retried.
        m_messages->post(m_hookWindow, kHookMessage, wParam, std::intptr_t(msgCode));
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, wParam] { route(wParam); }, Qt::QueuedConnection);
}

void MainWindow::receive(const platform::NativeMessage &m)
{
    if (m.message == kHookMessage)
        route(m.wParam);
}

void MainWindow::route(std::uintptr_t msgType)
{
    const Route r = routeFor(msgType);
    if (r.kind == Kind::Ignored)
        return;
    if (r.logLine)
        qCDebug(lcAgentEvents) << r.logLine;
    if (r.kind == Kind::Key)
        m_dispatcher.onKeyEvent(r.control, r.released);
    else
        m_dispatcher.onWheelEvent(r.control, QString::fromLatin1(r.direction));
}
