#include "logind_linux.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDebug>

namespace platform::linuxport {
namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
constexpr int kTimeoutMs = 10000;

QDBusMessage call(const QString &path, const QString &interface, const QString &method,
                  const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        kService, path, QStringLiteral("org.freedesktop.login1.") + interface, method);
    message.setArguments(arguments);
    message.setInteractiveAuthorizationAllowed(true);
    const QDBusMessage reply = QDBusConnection::systemBus().call(message, QDBus::Block, kTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        qWarning().noquote() << QStringLiteral("logind %1: %2 (%3)")
                                    .arg(method, reply.errorMessage(), reply.errorName());
    return reply;
}

} // namespace

bool callLogind(const QString &path, const QString &interface, const QString &method,
                const QVariantList &arguments)
{
    return call(path, interface, method, arguments).type() == QDBusMessage::ReplyMessage;
}

QString sessionId()
{
    const QString id = qEnvironmentVariable("XDG_SESSION_ID");
    return id.isEmpty() ? QStringLiteral("auto") : id;
}

QString sessionPath()
{
    const QDBusMessage reply =
        call(QStringLiteral("/org/freedesktop/login1"), QStringLiteral("Manager"),
             QStringLiteral("GetSession"), {sessionId()});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qvariant_cast<QDBusObjectPath>(reply.arguments().constFirst()).path();
}

} // namespace platform::linuxport
