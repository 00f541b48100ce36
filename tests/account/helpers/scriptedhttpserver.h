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
    QList<ReceivedRequest> received;

private:
    struct Reply
    {
        QByteArray body;
        int status;
        QByteArray headers;
    };
    void serve(QTcpSocket *socket, QByteArray &buffer);

    QTcpServer m_server;
    QQueue<Reply> m_script;
};
