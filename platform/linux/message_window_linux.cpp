// On Linux the agent's "window" is a local socket named after the title and the
// user; a close request is the line "close" answered by "closed" once handled.
#include "message_window.h"
#include "unavailable.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

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

    std::uint32_t registerUsbInterfaceNotifications() override
    {
        linuxport::reportUnavailable("USB device notifications");
        return 50; // ERROR_NOT_SUPPORTED
    }

private:
    void acceptPending()
    {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket,
                             &QObject::deleteLater);
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
