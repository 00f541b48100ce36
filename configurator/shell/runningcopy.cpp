#include "runningcopy.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

const char kShow[] = "show\n";
const char kShown[] = "shown\n";
constexpr qint64 kLongestLine = 16;

} // namespace

RunningCopy::RunningCopy(QObject *parent) : QObject(parent) {}

QString RunningCopy::channelName()
{
    const QByteArray home = QDir::homePath().toUtf8();
    return QStringLiteral("VelkoOptionsGUI-") +
           QString::fromLatin1(
               QCryptographicHash::hash(home, QCryptographicHash::Sha256).toHex().left(16));
}

bool RunningCopy::serve(const QString &channel, std::function<void()> onShow)
{
    m_onShow = std::move(onShow);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // The caller holds the single-instance lock: a socket file left by a copy that
    // crashed is nobody's now.
    QLocalServer::removeServer(channel);
    if (!m_server->listen(channel)) {
        qWarning().noquote() << QStringLiteral("RunningCopy: cannot serve \"%1\": %2")
                                    .arg(channel, m_server->errorString());
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > kLongestLine)
                        socket->abort();
                    return;
                }
                const QByteArray line = socket->readLine(kLongestLine + 1);
                if (line == kShow) {
                    m_onShow();
                    socket->write(kShown);
                    socket->flush();
                }
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

bool RunningCopy::askToShow(const QString &channel, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(channel);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kShow);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine(kLongestLine + 1) == kShown;
}
