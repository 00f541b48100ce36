#include "scriptedhttpserver.h"

#include <QTcpSocket>
#include <QTimer>

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
    if (reply.hugeBytes > 0) {
        socket->write("HTTP/1.1 200 Scripted\r\nContent-Type: application/json\r\n" +
                      (reply.announced
                           ? "Content-Length: " + QByteArray::number(reply.hugeBytes) + "\r\n"
                           : QByteArray()) +
                      "Connection: close\r\n\r\n");
        stream(socket, reply.hugeBytes);
        return;
    }
    if (reply.trickleMs > 0) {
        socket->write(
            "HTTP/1.1 200 Scripted\r\nContent-Type: application/json\r\nContent-Length: " +
            QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n");
        trickle(socket, reply.body, reply.trickleMs);
        return;
    }
    socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + " Scripted\r\n" + reply.headers +
                  "Content-Type: application/json\r\nContent-Length: " +
                  QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n" +
                  reply.body);
    socket->disconnectFromHost();
}

void ScriptedHttpServer::trickle(QTcpSocket *socket, const QByteArray &body, int intervalMs)
{
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<int>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent] {
        if (*sent == body.size()) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid((*sent)++, 1));
    });
    timer->start(intervalMs);
}

// A usable envelope {"code":0,"msg":"xxx..."} of the given length, written in
// chunks while the peer keeps reading.
void ScriptedHttpServer::stream(QTcpSocket *socket, qint64 bytes)
{
    hugeBytesSent = 0;
    const QByteArray head = R"({"code":0,"msg":")", tail = R"("})";
    const QByteArray chunk(64 * 1024, 'x');
    const auto refill = [this, socket, bytes, head, tail, chunk] {
        while (socket->bytesToWrite() < 4 * chunk.size() && hugeBytesSent < bytes) {
            QByteArray piece = chunk.left(int(qMin<qint64>(chunk.size(), bytes - hugeBytesSent)));
            for (int i = 0; i < piece.size(); ++i) {
                const qint64 at = hugeBytesSent + i, fromEnd = bytes - at;
                if (at < head.size())
                    piece[i] = head[int(at)];
                else if (fromEnd <= tail.size())
                    piece[i] = tail[int(tail.size() - fromEnd)];
            }
            hugeBytesSent += socket->write(piece);
        }
        if (hugeBytesSent == bytes)
            socket->disconnectFromHost();
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, refill);
    refill();
}
