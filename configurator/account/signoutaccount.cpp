#include "signoutaccount.h"

#include "accountendpoints.h"

#include <QNetworkReply>

SignOutAccount::SignOutAccount(QObject *parent) : VLAccountManage(parent)
{
    connect(this, &VLAccountManage::sigFinished, this, &SignOutAccount::slots_onSigFinished);
}

void SignOutAccount::send()
{
    postJsonTo(baseUrl() + QLatin1String(velko::kSignOutPath), QByteArrayLiteral("{}"));
}

void SignOutAccount::signOut(OperateToken &token)
{
    if (token.GetToken() != OperateToken::kNoSession) {
        auto *request = new SignOutAccount;
        connect(request, &SignOutAccount::sigSignOutRet, request, &QObject::deleteLater);
        request->send(); // reads the token now, before it is forgotten below
    }
    token.SetToken(QString());
}

void SignOutAccount::slots_onSigFinished(QNetworkReply *reply)
{
    const Envelope envelope = readCodeAndMessage(reply);
    reply->deleteLater();
    emit sigSignOutRet(envelope.rCode, envelope.rMsg);
}
