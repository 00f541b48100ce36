// An HTTP/1.1 server on 127.0.0.1 for the account tests: every request takes the
// next scripted reply and is recorded as it arrived.
#pragma once

#include <QList>
#include <QQueue>
#include <QTcpServer>

struct ReceivedRequest
{
    QByteArray method, path, body;
    QList<QPair<QByteArray, QByteArray>> headers;
    // The first header of that name in any letter case; empty when absent.
    QByteArray header(const QByteArray &name) const;
};

class ScriptedHttpServer : public QObject
{
public:
    ScriptedHttpServer();
    QString baseUrl() const;
    // Status 0 never answers and keeps the connection open; headers are raw
    // "Name: value\r\n" lines.
    void enqueue(const QByteArray &body, int status = 200, const QByteArray &headers = {})
    {
        m_script.enqueue({body, status, headers});
    }
    // Announces the body's length, then sends it one byte every intervalMs.
    void enqueueTrickle(const QByteArray &body, int intervalMs)
    {
        m_script.enqueue({body, 200, {}, intervalMs});
    }
    // A successful envelope of that many bytes, streamed as fast as the peer reads,
    // with its length announced or not (then the end of the connection ends it).
    void enqueueHuge(qint64 bytes, bool announced)
    {
        m_script.enqueue({{}, 200, {}, 0, bytes, announced});
    }
    // Body bytes of the last huge reply that left before the connection closed.
    qint64 hugeBytesSent = 0;
    QList<ReceivedRequest> received;

private:
    struct Reply
    {
        QByteArray body;
        int status;
        QByteArray headers;
        int trickleMs = 0;
        qint64 hugeBytes = 0;
        bool announced = true;
    };
    void serve(QTcpSocket *socket, QByteArray &buffer);
    void trickle(QTcpSocket *socket, const QByteArray &body, int intervalMs);
    void stream(QTcpSocket *socket, qint64 bytes);

    QTcpServer m_server;
    QQueue<Reply> m_script;
};
