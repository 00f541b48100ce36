// The frame every account-server request shares: the endpoint table, the request
// headers, the reply envelope {"code", "msg", "data"} and its common handling.
// Each request class derives from VLAccountManage, posts through postJson() and
// answers through one result signal (rCode, rMsg): 0 is success, -1 the client's
// own code for a request that failed in transport or a reply it could not use.
#pragma once

#include <optional>

#include "operatetoken.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QSslConfiguration>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

class VLAccountManage : public QObject
{
    Q_OBJECT
public:
    enum Endpoint : uint {
        Login = 0,
        Register = 1,
        UpdatePassword = 2,
        FindPassword = 3,
        ValidatePassword = 4,
        NewPassword = 5,
        FileUpload = 6,
        ConfigSave = 7,
        ConfigGet = 8,
        LatestVersion = 9,
    };

    // The local account server, used unless the main settings file names another
    // one under kServerKey (scheme, host, port; for example "https://host:8443").
    static const QString kDefaultBaseUrl; // "http://127.0.0.1:8790"
    static const QString kServerKey;      // "/SET/server"
    // A PEM file of certificate authorities that https servers are also verified
    // against, beside the system's (a self-hosted server with a private authority).
    // A relative path is taken from the settings folder.
    static const QString kAuthoritiesKey; // "/SET/serverAuthorities"
    static constexpr int kDefaultTransferTimeoutMs = 15000;
    // The largest reply body a request reads; the real documents are a few kilobytes.
    static constexpr qint64 kMaxReplyBodyBytes = 1024 * 1024;

    // Whether credentials may be sent to this URL: https to any host, or plain http
    // to a loopback address ("localhost", 127.0.0.0/8, ::1). Nothing else.
    static bool isSafeDestination(const QUrl &url);

    // Reads the base URL and the extra authorities from the main settings file.
    // The server's certificate and host name are always verified: a request whose
    // server fails that ends with the network error and one warning saying why.
    explicit VLAccountManage(QObject *parent = nullptr);

    // baseUrl followed by the endpoint's path; empty above index 9.
    QString endpointUrl(uint index) const;

    // Posts the body (compact JSON) to the endpoint with the headers Content-Type,
    // "lang" (appenv::languageCode(), which start-up sets) and "Authorization"
    // (the stored session token, or "token_fail"). The
    // reply arrives through sigFinished(). A destination that fails
    // isSafeDestination() is refused: nothing is sent, and sigFinished() delivers a
    // reply carrying an error.
    void postJson(uint index, const QByteArray &body);

    QString baseUrl() const { return m_baseUrl; }

    // A request that has not finished this long after it was sent ends with a network
    // error, however steadily its reply trickles in.
    void setTransferTimeout(int milliseconds) { m_transferTimeoutMs = milliseconds; }
    int transferTimeout() const { return m_transferTimeoutMs; }

signals:
    void sigFinished(QNetworkReply *reply);

protected:
    // As postJson(), to a whole URL (for the requests outside the endpoint table).
    void postJsonTo(const QString &url, const QByteArray &body);

    // The common part of reply handling. A reply with a network error yields
    // (-1, "Network Error, please try again later"); a body that is not one JSON
    // object, or one larger than kMaxReplyBodyBytes (abandoned unread), yields
    // (-1, "Server error, please try again later"). Otherwise usable
    // is true and root holds the envelope.
    struct Envelope
    {
        bool usable = false;
        int rCode = -1;
        QString rMsg;
        QJsonObject root;
    };
    // bodyLogPrefix, when given, writes the raw body to the debug log after it.
    Envelope readEnvelope(QNetworkReply *reply, const char *bodyLogPrefix = nullptr) const;

    // The whole common handling of a reply whose "code" defaults to 0 and whose
    // "msg" is read whatever the code.
    Envelope readCodeAndMessage(QNetworkReply *reply) const;

    // "code" as an integer; fallback when it is missing or not an integral number.
    static int codeOf(const QJsonObject &root, int fallback);
    // A member as text: empty when it is missing or not a string.
    static QString stringOf(const QJsonValue &value);

    // The client's two messages, translated in the context of the request class.
    QString networkErrorText() const;
    QString serverErrorText() const;

private:
    void refuse(QNetworkReply *reply);
    void bound(QNetworkReply *reply);

    QNetworkAccessManager *m_manager = nullptr;
    QString m_baseUrl;
    // The system's authorities and the configured ones; used for https.
    // Made at the first https request: the default configuration loads OpenSSL
    // (some 4 MB), which requests to a loopback http server never need.
    std::optional<QSslConfiguration> m_tls;
    QList<QSslCertificate> m_addedAuthorities;
    OperateToken m_tokenStore;
    int m_transferTimeoutMs = kDefaultTransferTimeoutMs;
};
