#include "scriptedhttpserver.h"

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpSocket>

namespace {

const char kBufferProperty[] = "scriptedBuffer";

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

ScriptedReply ScriptedReply::json(const QByteArray &body, int status, HeaderList headers)
{
    ScriptedReply reply;
    reply.status = status;
    reply.headers = std::move(headers);
    reply.body = body;
    return reply;
}

ScriptedReply ScriptedReply::silence()
{
    ScriptedReply reply;
    reply.answer = false;
    return reply;
}

QByteArray ReceivedRequest::header(const QByteArray &name) const
{
    for (const auto &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return QByteArray();
}

bool ReceivedRequest::hasHeader(const QByteArray &name) const
{
    for (const auto &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

ScriptedHttpServer::ScriptedHttpServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedHttpServer::onNewConnection);
    m_server.listen(QHostAddress::LocalHost, 0);
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    for (const QPointer<QTcpSocket> &socket : qAsConst(m_silentSockets)) {
        if (socket)
            socket->abort();
    }
}

QString ScriptedHttpServer::baseUrl(const QString &scheme) const
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(port());
}

bool ScriptedHttpServer::waitForRequests(int count)
{
    QSignalSpy spy(this, &ScriptedHttpServer::requestReceived);
    while (m_received.size() < count) {
        if (!spy.wait(10000))
            return false;
    }
    return true;
}

void ScriptedHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void ScriptedHttpServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray buffer = socket->property(kBufferProperty).toByteArray() + socket->readAll();
    if (!buffer.isEmpty() && (buffer.at(0) < 'A' || buffer.at(0) > 'Z')) {
        ++m_foreignConnections;
        socket->abort();
        emit foreignConnection();
        return;
    }
    for (;;) {
        const int headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            break;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        ReceivedRequest request;
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        request.path = requestLine.value(1);
        int contentLength = 0;
        for (int i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines.at(i).trimmed();
            const int colon = line.indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = line.left(colon);
            const QByteArray value = line.mid(colon + 1).trimmed();
            request.headers.append({name, value});
            if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
                contentLength = value.toInt();
        }
        const int bodyStart = headerEnd + 4;
        if (buffer.size() < bodyStart + contentLength)
            break;
        request.body = buffer.mid(bodyStart, contentLength);
        buffer.remove(0, bodyStart + contentLength);
        m_received.append(request);
        respond(socket);
        emit requestReceived();
    }
    socket->setProperty(kBufferProperty, buffer);
}

void ScriptedHttpServer::respond(QTcpSocket *socket)
{
    ScriptedReply reply = m_script.isEmpty()
                              ? ScriptedReply::json(R"({"code":99,"msg":"unscripted"})", 500)
                              : m_script.dequeue();
    if (!reply.answer) {
        m_silentSockets.append(socket);
        return;
    }
    QByteArray out =
        "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    for (const auto &h : qAsConst(reply.headers))
        out += h.first + ": " + h.second + "\r\n";
    out += "Content-Type: application/json\r\n";
    out += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += reply.body;
    socket->write(out);
    socket->disconnectFromHost();
}
