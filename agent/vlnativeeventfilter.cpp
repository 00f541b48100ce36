#include "vlnativeeventfilter.h"

#include "hid.h"
#include "message_window.h"

#include <QCoreApplication>
#include <QDebug>
#include <QRegularExpression>

extern const char kAgentWindowTitle[];

namespace {
constexpr unsigned kVendor = 0x2F6B;
bool isReceiverProduct(unsigned pid)
{
    return pid == 0x1812 || pid == 0x1813;
}
} // namespace

VLNativeEventFilter::VLNativeEventFilter(platform::MessageWindow &window,
                                         platform::HidSystem &hid, QWidget *parent)
    : QWidget(parent), m_window(window), m_hid(hid)
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
    static const QRegularExpression pattern(QStringLiteral("VID_(\\w+)&PID_(\\w+)"));
    const QRegularExpressionMatch match = pattern.match(name.toUpper());
    if (!match.hasMatch())
        return false;
    bool ok = false;
    vendorId = match.captured(1).toUInt(&ok, 16);
    if (!ok)
        vendorId = 0;
    productId = match.captured(2).toUInt(&ok, 16);
    if (!ok)
        productId = 0;
    return true;
}

void VLNativeEventFilter::handleMessage(const platform::WindowMessage &m)
{
    qDebug() << "message" << m.message << "wParam" << quint64(m.wParam) << "lParam"
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
    if (vid != kVendor || !isReceiverProduct(pid))
        return;
    const QString usb = QStringLiteral("USB %1 ").arg(pid, 4, 16, QLatin1Char('0'));
    qDebug().noquote() << usb + (arrival ? QStringLiteral("插入") : QStringLiteral("拔除"));
    if (!arrival)
        CheckDevice();
}

bool VLNativeEventFilter::CheckDevice()
{
    qDebug() << "CheckDevice";
    bool found = false;
    const auto paths = m_hid.interfacePaths();
    if (!paths) {
        qDebug() << "Out of memory";
    } else {
        for (const std::string &path : *paths) {
            auto handle = m_hid.open(path, platform::HidAccess::Query);
            if (!handle->isValid()) {
                qDebug() << "INVALID_HANDLE_VALUE";
                continue;
            }
            platform::HidAttributes a;
            if (!handle->attributes(a)) {
                qDebug() << "FALSE == Result";
                continue;
            }
            qDebug("Attributes: %x %x", a.vendorId, a.productId);
            if (a.vendorId == kVendor && isReceiverProduct(a.productId)) {
                found = true;
                break;
            }
        }
    }
    qDebug() << (found ? "true" : "false");
    return found;
}
