#include "simulatedmouseserver.h"

#include "simulated_mouse.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTextStream>

namespace {
constexpr int kConnectTimeoutMs = 2000;
constexpr int kAnswerTimeoutMs = 3000;
const QString kPress = QStringLiteral("press ");
} // namespace

QString SimulatedMouseServer::socketName(const QString &applicationDir)
{
    const QByteArray where =
        (QDir::cleanPath(applicationDir) + QLatin1Char('|') + QDir::homePath()).toUtf8();
    return QStringLiteral("VelkoOptions-mouse-") +
           QString::fromLatin1(
               QCryptographicHash::hash(where, QCryptographicHash::Sha1).toHex().left(16));
}

SimulatedMouseServer::SimulatedMouseServer(platform::fake::SimulatedMouse &mouse, QObject *parent)
    : QObject(parent), m_mouse(mouse), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SimulatedMouseServer::acceptPending);
}

SimulatedMouseServer::~SimulatedMouseServer() = default;

bool SimulatedMouseServer::listen(const QString &name)
{
    if (!m_server->listen(name)) {
        // Only one agent per user runs (the single-instance lock), so a socket
        // already there was left behind.
        QLocalServer::removeServer(name);
        if (!m_server->listen(name)) {
            qWarning() << "SimulatedMouseServer: cannot serve" << name << m_server->errorString();
            return false;
        }
    }
    qDebug() << "SimulatedMouseServer: serving" << m_server->fullServerName();
    return true;
}

QString SimulatedMouseServer::handle(const QString &request)
{
    const QString line = request.trimmed();
    if (!line.startsWith(kPress))
        return QStringLiteral("error: unknown request \"%1\"").arg(line);
    const QString control = line.mid(kPress.size()).trimmed();
    QStringList known;
    for (const std::string &name : platform::fake::SimulatedMouse::controlNames())
        known << QString::fromStdString(name);
    if (!known.contains(control))
        return QStringLiteral("error: no control \"%1\"; the controls are %2")
            .arg(control, known.join(QLatin1String(", ")));
    if (!m_mouse.press(control.toStdString()))
        return QStringLiteral("error: the mouse driver is not listening");
    return QStringLiteral("ok");
}

void SimulatedMouseServer::acceptPending()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            while (socket->canReadLine()) {
                const QString answer = handle(QString::fromUtf8(socket->readLine()));
                socket->write(answer.toUtf8() + '\n');
            }
        });
    }
}

int pressSimulatedControl(const QString &name, const QString &control)
{
    QTextStream err(stderr);
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        err << "no agent with the simulated mouse runs from this folder (" << socket.errorString()
            << ")\n";
        return 1;
    }
    socket.write((kPress + control + QLatin1Char('\n')).toUtf8());
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kAnswerTimeoutMs)) {
            err << "the agent did not answer\n";
            return 1;
        }
    }
    const QString answer = QString::fromUtf8(socket.readLine()).trimmed();
    if (answer == QLatin1String("ok"))
        return 0;
    err << answer << '\n';
    return 1;
}
