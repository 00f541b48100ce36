// An HTTP/1.1 server on 127.0.0.1 for the account tests. Each request that
// arrives takes the next scripted reply (any status, headers and body, or no
// answer at all) and is recorded with its method, path, headers and body.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QQueue>
#include <QTcpServer>

class QTcpSocket;

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

struct ScriptedReply
{
    int status = 200;
    HeaderList headers;
    QByteArray body;
    bool answer = true; // false: keep the connection open and never reply

    static ScriptedReply json(const QByteArray &body, int status = 200, HeaderList headers = {});
    static ScriptedReply silence();
};

struct ReceivedRequest
{
    QByteArray method;
    QByteArray path;
    HeaderList headers; // as received, names unchanged
    QByteArray body;

    // The first header of that name, compared without regard to letter case.
    QByteArray header(const QByteArray &name) const;
    bool hasHeader(const QByteArray &name) const;
};

class ScriptedHttpServer : public QObject
{
    Q_OBJECT
public:
    explicit ScriptedHttpServer(QObject *parent = nullptr);
    ~ScriptedHttpServer() override;

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    QString baseUrl(const QString &scheme = QStringLiteral("http")) const;

    void enqueue(const ScriptedReply &reply) { m_script.enqueue(reply); }
    const QList<ReceivedRequest> &received() const { return m_received; }
    int pendingReplies() const { return m_script.size(); }
    // Connections whose first bytes were not an HTTP request (a TLS hand-shake).
    int foreignConnections() const { return m_foreignConnections; }

    // Runs the event loop until that many requests have arrived (or 10 s passed).
    bool waitForRequests(int count);

signals:
    void requestReceived();
    void foreignConnection();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void respond(QTcpSocket *socket);

    QTcpServer m_server;
    QQueue<ScriptedReply> m_script;
    QList<ReceivedRequest> m_received;
    QList<QPointer<QTcpSocket>> m_silentSockets;
    int m_foreignConnections = 0;
};
