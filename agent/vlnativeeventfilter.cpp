#include "vlnativeeventfilter.h"

#include "agentlog.h"
#include "hid.h"
#include "message_window.h"
#include "receiverid.h"

#include <QCoreApplication>
#include <QDebug>

extern const char kAgentWindowTitle[];


VLNativeEventFilter::VLNativeEventFilter(platform::MessageWindow &window,
                                         platform::HidSystem &hid, AgentWidgetBase *parent)
    : AgentWidgetBase(parent), m_window(window), m_hid(hid)
{
    // The title is the process-control contract, whatever the executable is called.
    if (!m_window.create(kAgentWindowTitle))
        qWarning() << "VLNativeEventFilter: the agent window could not be created";
    m_window.setCloseHandler([] { QCoreApplication::quit(); });
    m_window.setMessageHandler([this](const platform::WindowMessage &m) { handleMessage(m); });
}

void VLNativeEventFilter::registerDeviceNotify()
{
    const std::uint32_t error = m_window.registerUsbInterfaceNotifications();
    if (error != 0)
        qDebug() << "注册失败" << error;
}

bool VLNativeEventFilter::parseIds(const QString &name, unsigned &vendorId, unsigned &productId)
{
    return receiverid::parseInterfaceIds(name, vendorId, productId);
}

void VLNativeEventFilter::handleMessage(const platform::WindowMessage &m)
{
    qCDebug(lcAgentEvents) << "message" << m.message << "wParam" << quint64(m.wParam) << "lParam"
             << qint64(m.lParam);
    if (m.message != platform::kWmDeviceChange || !m.hasBroadcast ||
        m.deviceType != platform::kDbtDevtypDeviceInterface)
        return;
    const bool arrival = m.wParam == platform::kDbtDeviceArrival;
    if (!arrival && m.wParam != platform::kDbtDeviceRemoveComplete)
        return;
    const QString name = QString::fromStdString(m.interfaceName);
    qDebug() << (arrival ? "========in==========" : "========out=========") << m.deviceType
             << name;
    unsigned vid = 0, pid = 0;
    if (!parseIds(name, vid, pid))
        return;
    qDebug() << "vendorID" << vid;
    qDebug() << "productID" << pid;
    if (!receiverid::isReceiver(vid, pid))
        return;
    const QString usb = QStringLiteral("USB %1 ").arg(pid, 4, 16, QLatin1Char('0'));
    qDebug().noquote() << usb + (arrival ? QStringLiteral("插入") : QStringLiteral("拔除"));
    if (!arrival) {
        CheckDevice();
        emit sigConnectDev(false);
    }
}

bool VLNativeEventFilter::CheckDevice()
{
    qDebug() << "CheckDevice";
    return receiverid::receiverPresent(m_hid);
}
