#include "scriptedhttpserver.h"

#include <QTcpSocket>

#include <memory>

QByteArray ReceivedRequest::header(const QByteArray &name) const
{
    for (const auto &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return QByteArray();
}

ScriptedHttpServer::ScriptedHttpServer()
{
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        qFatal("the scripted server cannot listen");
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this,
                    [this, socket, buffer] { serve(socket, *buffer); });
        }
    });
}

QString ScriptedHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

// One request per connection: every reply closes it.
void ScriptedHttpServer::serve(QTcpSocket *socket, QByteArray &buffer)
{
    buffer += socket->readAll();
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    ReceivedRequest request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().split(' ');
    request.method = requestLine.value(0);
    request.path = requestLine.value(1);
    for (const QByteArray &line : lines.mid(1)) {
        const int colon = line.indexOf(':');
        request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    request.body = buffer.mid(headerEnd + 4);
    if (request.body.size() < request.header("Content-Length").toInt())
        return;
    buffer.clear();
    received.append(request);
    const Reply reply = m_script.isEmpty() ? Reply{R"({"code":99})", 500, {}} : m_script.dequeue();
    if (reply.status == 0)
        return;
    socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + " Scripted\r\n" + reply.headers +
                  "Content-Type: application/json\r\nContent-Length: " +
                  QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n" +
                  reply.body);
    socket->disconnectFromHost();
}
