#include "vlnativeeventfilter.h"

#include "message_window.h"
#include "receiverid.h"

#include <QDebug>

const char VLNativeEventFilter::kWindowTitle[] = "VelkoOptionsGUI device notifications";

VLNativeEventFilter::VLNativeEventFilter(std::unique_ptr<platform::MessageWindow> window,
                                         QObject *parent)
    : QObject(parent), m_window(std::move(window))
{
    m_window->setMessageHandler([this](const platform::WindowMessage &m) { handleMessage(m); });
}

VLNativeEventFilter::~VLNativeEventFilter()
{
    m_window->setMessageHandler({});
}

void VLNativeEventFilter::Register()
{
    m_window->create(kWindowTitle);
    const std::uint32_t error = m_window->registerUsbInterfaceNotifications();
    if (error != 0)
        qDebug() << "注册失败" << error;
}

bool VLNativeEventFilter::parseIds(const QString &name, unsigned &vendorId, unsigned &productId)
{
    return receiverid::parseInterfaceIds(name, vendorId, productId);
}

bool VLNativeEventFilter::isReceiver(unsigned vendorId, unsigned productId)
{
    return receiverid::isReceiver(vendorId, productId);
}

void VLNativeEventFilter::handleMessage(const platform::WindowMessage &m)
{
    if (m.message != platform::kWmDeviceChange || !m.hasBroadcast ||
        m.deviceType != platform::kDbtDevtypDeviceInterface)
        return;
    const bool arrival = m.wParam == platform::kDbtDeviceArrival;
    if (!arrival && m.wParam != platform::kDbtDeviceRemoveComplete)
        return;

    unsigned vendorId = 0, productId = 0;
    const bool parsed = parseIds(QString::fromStdString(m.interfaceName), vendorId, productId);
    if (parsed)
        qDebug() << "vendorID" << vendorId << "productID" << productId;
    const bool receiver = parsed && isReceiver(vendorId, productId);

    if (arrival) {
        if (receiver)
            qDebug() << "USB 插入";
        emit sigConnectDev(receiver);
    } else if (receiver) {
        qDebug() << "USB 拔除";
        emit sigConnectDev(false);
    }
}
