#include "vlaccountmanage.h"

#include "accountendpoints.h"
#include "appenv.h"
#include "languagecode.h"
#include "operateini.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QSslCertificate>
#include <QSslError>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <array>

const QString VLAccountManage::kDefaultBaseUrl = QStringLiteral("http://127.0.0.1:8790");
const QString VLAccountManage::kServerKey = QStringLiteral("/SET/server");
const QString VLAccountManage::kAuthoritiesKey = QStringLiteral("/SET/serverAuthorities");

namespace {

const auto &kEndpointPaths = velko::kAccountEndpointPaths;

// Looked up in the context of the request class that answers.

// Set on a reply abandoned because its body outgrew kMaxReplyBodyBytes.
const char kOversizedProperty[] = "velkoOversizedBody";

// The reply of a request that was never sent: finished at once, with an error.
class RefusedReply : public QNetworkReply
{
public:
    RefusedReply(const QNetworkRequest &request, QObject *parent) : QNetworkReply(parent)
    {
        setRequest(request);
        setUrl(request.url());
        setOperation(QNetworkAccessManager::PostOperation);
        setError(QNetworkReply::ContentAccessDenied,
                 QStringLiteral("Refused to send credentials over an unencrypted connection"));
        open(QIODevice::ReadOnly);
        setFinished(true);
    }

    void abort() override {}

protected:
    qint64 readData(char *, qint64) override { return -1; }
};

} // namespace

bool VLAccountManage::isSafeDestination(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    if (scheme != QLatin1String("http"))
        return false;
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    QHostAddress address;
    return address.setAddress(host) && address.isLoopback();
}

VLAccountManage::VLAccountManage(QObject *parent) : QObject(parent)
{
    OperateIni mainIni;
    mainIni.setSetIniPath(appenv::mainSettingsPath());
    QString configured = mainIni.getValue(kServerKey).trimmed();
    while (configured.endsWith(QLatin1Char('/')))
        configured.chop(1);
    m_baseUrl = (configured.isEmpty() || configured == QLatin1String("NULL")) ? kDefaultBaseUrl
                                                                              : configured;

    const QString authorities = mainIni.getValue(kAuthoritiesKey).trimmed();
    if (!authorities.isEmpty() && authorities != QLatin1String("NULL")) {
        const QString path = QDir(appenv::settingsDir()).absoluteFilePath(authorities);
        const QList<QSslCertificate> added = QSslCertificate::fromPath(path, QSsl::Pem);
        if (added.isEmpty())
            qWarning().noquote() << QStringLiteral("%1: no certificate authority read from \"%2\"")
                                        .arg(QLatin1String(metaObject()->className()), path);
        m_addedAuthorities = added;
    }
}

QString VLAccountManage::endpointUrl(uint index) const
{
    if (index >= kEndpointPaths.size())
        return QString();
    return m_baseUrl + QLatin1String(kEndpointPaths[index]);
}

void VLAccountManage::postJson(uint index, const QByteArray &body)
{
    postJsonTo(endpointUrl(index), body);
}

void VLAccountManage::postJsonTo(const QString &url, const QByteArray &body)
{
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setRawHeader("lang", appenv::languageCode().toUtf8());
    request.setRawHeader("Authorization", m_tokenStore.GetToken().toUtf8());
    // A redirect is not followed: the credentials go only where they were meant to.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(m_transferTimeoutMs);
    if (request.url().scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0) {
        if (!m_tls) {
            m_tls = QSslConfiguration::defaultConfiguration();
            m_tls->addCaCertificates(m_addedAuthorities);
        }
        request.setSslConfiguration(*m_tls);
    }

    if (!isSafeDestination(request.url())) {
        qWarning().noquote() << QStringLiteral("%1: refused to send %2 to \"%3\": only https, or "
                                               "http to a loopback address, may carry credentials")
                                    .arg(QLatin1String(metaObject()->className()),
                                         request.url().path(),
                                         request.url().toString(QUrl::RemovePath |
                                                                QUrl::RemoveUserInfo));
        refuse(new RefusedReply(request, this));
        return;
    }
    if (!m_manager) { // made at the first request: most pages' requests are never sent
        m_manager = new QNetworkAccessManager(this);
        connect(m_manager, &QNetworkAccessManager::finished, this, &VLAccountManage::sigFinished);
    }
    bound(m_manager->post(request, body));
}

void VLAccountManage::bound(QNetworkReply *reply)
{
    // Nothing ignores these errors: the request fails, and the log says why.
    connect(reply, &QNetworkReply::sslErrors, this, [this, reply](const QList<QSslError> &errors) {
        QStringList why;
        for (const QSslError &error : errors)
            why << error.errorString();
        qWarning().noquote() << QStringLiteral("%1: the certificate of %2 was refused: %3")
                                    .arg(QLatin1String(metaObject()->className()),
                                         reply->url().host(), why.join(QStringLiteral("; ")));
    });
    // The transfer time-out above only counts time without progress; this one ends
    // the request at its deadline whatever arrives meanwhile.
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [reply] {
        if (reply->isRunning())
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, deadline, &QTimer::stop);
    deadline->start(m_transferTimeoutMs);

    // The network layer's buffer never holds much more than the cap: a reply that
    // announces or delivers more is abandoned without reading further.
    reply->setReadBufferSize(kMaxReplyBodyBytes + 1);
    const auto checkSize = [reply] {
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (reply->isRunning() &&
            (announced > kMaxReplyBodyBytes || reply->bytesAvailable() > kMaxReplyBodyBytes)) {
            reply->setProperty(kOversizedProperty, true);
            reply->abort();
        }
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, checkSize);
    connect(reply, &QNetworkReply::readyRead, reply, checkSize);
}

void VLAccountManage::refuse(QNetworkReply *reply)
{
    // Delivered from the event loop like every other reply.
    QMetaObject::invokeMethod(
        this, [this, reply] { emit sigFinished(reply); }, Qt::QueuedConnection);
}

VLAccountManage::Envelope VLAccountManage::readEnvelope(QNetworkReply *reply,
                                                        const char *bodyLogPrefix) const
{
    Envelope envelope;
    const bool oversized = reply->property(kOversizedProperty).toBool() ||
                           reply->bytesAvailable() > kMaxReplyBodyBytes;
    if (oversized) {
        qDebug() << metaObject()->className() << "reply body over" << kMaxReplyBodyBytes
                 << "bytes, abandoned";
        envelope.rMsg = serverErrorText();
        return envelope;
    }
    if (reply->error() != QNetworkReply::NoError) {
        qDebug() << metaObject()->className() << "network error" << reply->error()
                 << reply->errorString();
        envelope.rMsg = networkErrorText();
        return envelope;
    }
    const QByteArray body = reply->read(kMaxReplyBodyBytes);
    if (bodyLogPrefix)
        qDebug().noquote() << bodyLogPrefix << body;
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        qDebug() << metaObject()->className() << "unusable reply body" << parseError.errorString();
        envelope.rMsg = serverErrorText();
        return envelope;
    }
    envelope.usable = true;
    envelope.rCode = 0;
    envelope.root = document.object();
    return envelope;
}

VLAccountManage::Envelope VLAccountManage::readCodeAndMessage(QNetworkReply *reply) const
{
    Envelope envelope = readEnvelope(reply);
    if (envelope.usable) {
        envelope.rCode = codeOf(envelope.root, 0);
        envelope.rMsg = stringOf(envelope.root.value(QLatin1String("msg")));
    }
    return envelope;
}

int VLAccountManage::codeOf(const QJsonObject &root, int fallback)
{
    // An integral number in range; anything else (text, fractions, booleans) is
    // not a code.
    return root.value(QLatin1String("code")).toInt(fallback);
}

QString VLAccountManage::stringOf(const QJsonValue &value)
{
    return value.isString() ? value.toString() : QString();
}

QString VLAccountManage::networkErrorText() const
{
    // One context for every request class, so that the catalogue holds each text once.
    return QCoreApplication::translate("VLAccountManage", "Network Error, please try again later");
}

QString VLAccountManage::serverErrorText() const
{
    return QCoreApplication::translate("VLAccountManage", "Server error, please try again later");
}
