#include "accountoperations.h"

#include <QDebug>
#include <QJsonDocument>
#include <QNetworkReply>

#include <initializer_list>
#include <utility>

namespace {

using Members = std::initializer_list<std::pair<const char *, QString>>;

QJsonObject bodyOf(Members members)
{
    QJsonObject body;
    for (const auto &member : members)
        body.insert(QLatin1String(member.first), member.second);
    return body;
}

QByteArray compact(const QJsonObject &body)
{
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

// Passwords never reach the log.
const QString kHidden = QStringLiteral("***");

} // namespace

RegisterAccount::RegisterAccount(QObject *parent) : VLAccountManage(parent)
{
    connect(this, &VLAccountManage::sigFinished, this, &RegisterAccount::slots_onSigFinished);
}

void RegisterAccount::VlPostRegisiterJson(const QString &nickName, const QString &email,
                                          const QString &password, const QString &rePassword)
{
    postJson(Register, compact(bodyOf({{"nickname", nickName},
                                       {"email", email},
                                       {"password", password},
                                       {"rePassword", rePassword}})));
}

void RegisterAccount::slots_onSigFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const Envelope result = readCodeAndMessage(reply);
    emit sigRegisterRet(result.rCode, result.rMsg);
}

UpdatePasswdAccount::UpdatePasswdAccount(QObject *parent) : VLAccountManage(parent)
{
    connect(this, &VLAccountManage::sigFinished, this, &UpdatePasswdAccount::slots_onSigFinished);
}

void UpdatePasswdAccount::VlUpdatePasswdJson(const QString &email, const QString &passwd,
                                             const QString &rePasswd)
{
    qDebug() << "emial, passwd, rePasswd " << email << kHidden << kHidden;
    const QJsonObject body =
        bodyOf({{"email", email}, {"password", passwd}, {"rePassword", rePasswd}});
    qDebug() << compact(bodyOf({{"email", email}, {"password", kHidden}, {"rePassword", kHidden}}));
    postJson(UpdatePassword, compact(body));
}

void UpdatePasswdAccount::slots_onSigFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const Envelope result = readCodeAndMessage(reply);
    qDebug() << "rtCode " << result.rCode << result.rMsg;
    emit sigUpdatePwdRet(result.rCode, result.rMsg);
}

FindPasswd::FindPasswd(QObject *parent) : VLAccountManage(parent)
{
    connect(this, &VLAccountManage::sigFinished, this, &FindPasswd::slots_onSigFinished);
}

void FindPasswd::VlFindPasswdJson(const QString &email)
{
    postJson(FindPassword, compact(bodyOf({{"email", email}})));
}

void FindPasswd::slots_onSigFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const Envelope result = readCodeAndMessage(reply);
    emit sigFindPwdRet(result.rCode, result.rMsg);
}

ValidatePassword::ValidatePassword(QObject *parent) : VLAccountManage(parent)
{
    connect(this, &VLAccountManage::sigFinished, this, &ValidatePassword::slots_onSigFinished);
}

void ValidatePassword::VlValidatePasswordJson(const QString &email, const QString &captcha)
{
    postJson(VLAccountManage::ValidatePassword,
             compact(bodyOf({{"email", email}, {"captcha", captcha}})));
}

void ValidatePassword::slots_onSigFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const Envelope result = readCodeAndMessage(reply);
    emit sigValidateCodeRet(result.rCode, result.rMsg);
}

NewPassword::NewPassword(QObject *parent) : VLAccountManage(parent)
{
    connect(this, &VLAccountManage::sigFinished, this, &NewPassword::slots_onSigFinished);
}

void NewPassword::VlNewPasswordJson(const QString &email, const QString &captcha,
                                    const QString &password)
{
    postJson(VLAccountManage::NewPassword,
             compact(bodyOf({{"email", email}, {"captcha", captcha}, {"password", password}})));
}

void NewPassword::slots_onSigFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const Envelope result = readCodeAndMessage(reply);
    emit sigAlterPwdRet(result.rCode, result.rMsg);
}
