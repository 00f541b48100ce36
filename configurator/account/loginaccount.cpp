#include "loginaccount.h"

#include <QDebug>
#include <QJsonDocument>
#include <QNetworkReply>

namespace {
// A reply without a numeric "code" has not confirmed the log-in.
constexpr int kLoginCodeMissing = 10;
} // namespace

LoginAccount::LoginAccount(QObject *parent) : VLAccountManage(parent)
{
    connect(this, &VLAccountManage::sigFinished, this, &LoginAccount::slots_onSigFinished);
}

void LoginAccount::VlPostLoginJson(const QString &emailAccount, const QString &passwd)
{
    m_email = emailAccount;
    QJsonObject body;
    body.insert(QStringLiteral("email"), emailAccount);
    body.insert(QStringLiteral("password"), passwd);
    postJson(Login, QJsonDocument(body).toJson(QJsonDocument::Compact));
}

void LoginAccount::slots_onSigFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const Envelope envelope = readEnvelope(reply);
    if (!envelope.usable) {
        emit sigLoginRet(envelope.rCode, envelope.rMsg);
        return;
    }

    const int rCode = codeOf(envelope.root, kLoginCodeMissing);
    const QString rMsg = rCode != 0 ? stringOf(envelope.root.value(QLatin1String("msg")))
                                    : stringOf(envelope.root.value(QLatin1String("data"))
                                                   .toObject()
                                                   .value(QLatin1String("nickname")));

    // Only an accepted log-in opens a session. Header names are compared without
    // regard to case: HTTP/2 always sends them in lower case.
    if (rCode == 0) {
        const auto headers = reply->rawHeaderPairs();
        for (const auto &header : headers) {
            if (header.first.compare("Authorization", Qt::CaseInsensitive) != 0)
                continue;
            m_tokenStore.SetToken(QString::fromUtf8(header.second));
            m_tokenStore.SetEmail(m_email);
            m_tokenStore.SetNickName(rMsg);
            break;
        }
    } else {
        qDebug() << "LoginAccount: log-in refused, code" << rCode;
    }
    emit sigLoginRet(rCode, rMsg);
}
