// On Linux the agent's "window" is a local socket named after the title and the
// user; a close request is the line "close" answered by "closed" once handled.
// USB plug notifications come from a udev monitor watched by the main thread's
// event loop; each arrival or removal of a USB device reaches the message handler
// as the device-interface broadcast the rest of the system knows, with a name of
// the form "\\?\USB#VID_2F6B&PID_1813#<device>#{a5dcbf10-...}".
#include "message_window.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QSocketNotifier>

#include <libudev.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace platform {
namespace {

QString socketName(const std::string &title)
{
    return QStringLiteral("%1-%2").arg(QString::fromStdString(title)).arg(::getuid());
}

class LinuxMessageWindow : public MessageWindow
{
public:
    bool create(const std::string &title) override
    {
        if (m_server)
            return true;
        auto server = std::make_unique<QLocalServer>();
        server->setSocketOptions(QLocalServer::UserAccessOption);
        const QString name = socketName(title);
        if (!server->listen(name)) {
            // A socket file left behind by a killed process: nobody answers on it.
            QLocalSocket probe;
            probe.connectToServer(name);
            if (probe.waitForConnected(200))
                return false;
            QLocalServer::removeServer(name);
            if (!server->listen(name))
                return false;
        }
        QObject::connect(server.get(), &QLocalServer::newConnection, server.get(),
                         [this] { acceptPending(); });
        m_server = std::move(server);
        return true;
    }

    void setCloseHandler(CloseHandler handler) override { m_onClose = std::move(handler); }
    void setMessageHandler(MessageHandler handler) override { m_onMessage = std::move(handler); }

    ~LinuxMessageWindow() override
    {
        m_notifier.reset();
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        if (m_udev)
            udev_unref(m_udev);
    }

    std::uint32_t registerUsbInterfaceNotifications() override
    {
        if (!m_server)
            return 1400; // ERROR_INVALID_WINDOW_HANDLE
        if (m_monitor)
            return 0;
        m_udev = m_udev ? m_udev : udev_new();
        m_monitor = m_udev ? udev_monitor_new_from_netlink(m_udev, "udev") : nullptr;
        if (!m_monitor ||
            udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "usb", "usb_device") < 0 ||
            udev_monitor_enable_receiving(m_monitor) < 0) {
            if (m_monitor)
                udev_monitor_unref(m_monitor);
            m_monitor = nullptr;
            return 31; // ERROR_GEN_FAILURE
        }
        m_notifier = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(m_monitor),
                                                       QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                         [this] { receiveDeviceEvents(); });
        return 0;
    }

private:
    void receiveDeviceEvents()
    {
        while (udev_device *device = udev_monitor_receive_device(m_monitor)) {
            const char *action = udev_device_get_action(device);
            const bool arrival = action && std::string(action) == "add";
            const bool removal = action && std::string(action) == "remove";
            const std::string name = interfaceName(device);
            udev_device_unref(device);
            if ((!arrival && !removal) || name.empty() || !m_onMessage)
                continue;
            WindowMessage m;
            m.message = kWmDeviceChange;
            m.wParam = arrival ? kDbtDeviceArrival : kDbtDeviceRemoveComplete;
            m.hasBroadcast = true;
            m.deviceType = kDbtDevtypDeviceInterface;
            m.interfaceName = name;
            m_onMessage(m);
        }
    }

    // The ids from the event's PRODUCT value ("vendor/product/version" in
    // hexadecimal), which removals carry too.
    static std::string interfaceName(udev_device *device)
    {
        const char *product = udev_device_get_property_value(device, "PRODUCT");
        if (!product)
            return {};
        char *end = nullptr;
        const unsigned long vendorId = std::strtoul(product, &end, 16);
        if (*end != '/')
            return {};
        const unsigned long productId = std::strtoul(end + 1, &end, 16);
        char name[160];
        std::snprintf(name, sizeof name,
                      "\\\\?\\USB#VID_%04lX&PID_%04lX#%s#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
                      vendorId & 0xFFFF, productId & 0xFFFF, udev_device_get_sysname(device));
        return name;
    }

    void acceptPending()
    {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine().trimmed();
                    if (line != "close")
                        continue;
                    WindowMessage m;
                    m.message = 0x0010; // WM_CLOSE, for the message log
                    if (m_onMessage)
                        m_onMessage(m);
                    if (m_onClose)
                        m_onClose();
                    socket->write("closed\n");
                    socket->flush();
                }
            });
        }
    }

    std::unique_ptr<QLocalServer> m_server;
    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    CloseHandler m_onClose;
    MessageHandler m_onMessage;
};

class LinuxWindowDirectory : public WindowDirectory
{
public:
    CloseResult requestClose(const std::string &title, int timeoutMs) override
    {
        QLocalSocket socket;
        socket.connectToServer(socketName(title));
        if (!socket.waitForConnected(timeoutMs))
            return CloseResult::NotFound;
        socket.write("close\n");
        socket.flush();
        while (!socket.canReadLine()) {
            if (!socket.waitForReadyRead(timeoutMs))
                // The agent may quit before the answer leaves; a closed connection
                // after the request counts as handled.
                return socket.state() == QLocalSocket::UnconnectedState ? CloseResult::Closed
                                                                        : CloseResult::TimedOut;
        }
        return CloseResult::Closed;
    }

    bool exists(const std::string &title) override
    {
        QLocalSocket socket;
        socket.connectToServer(socketName(title));
        return socket.waitForConnected(500);
    }
};

} // namespace

std::unique_ptr<MessageWindow> createMessageWindow()
{
    return std::make_unique<LinuxMessageWindow>();
}

std::unique_ptr<WindowDirectory> createWindowDirectory()
{
    return std::make_unique<LinuxWindowDirectory>();
}

} // namespace platform
