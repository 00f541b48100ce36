// Registration, password change and the three steps of password recovery. Each
// posts its body and answers (code, the server's "msg"); none keeps anything.
#pragma once

#include "vlaccountmanage.h"

class RegisterAccount : public VLAccountManage
{
    Q_OBJECT
public:
    explicit RegisterAccount(QObject *parent = nullptr);
    // Body {"nickname", "email", "password", "rePassword"} to "/v1/user/register".
    Q_INVOKABLE void VlPostRegisiterJson(const QString &nickName, const QString &email,
                                         const QString &password, const QString &rePassword);
signals:
    void sigRegisterRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

class UpdatePasswdAccount : public VLAccountManage
{
    Q_OBJECT
public:
    explicit UpdatePasswdAccount(QObject *parent = nullptr);
    // Body {"email", "password" (current), "rePassword" (new)} to "/v1/user/updatePassword".
    Q_INVOKABLE void VlUpdatePasswdJson(const QString &email, const QString &passwd,
                                        const QString &rePasswd);
signals:
    void sigUpdatePwdRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

class FindPasswd : public VLAccountManage
{
    Q_OBJECT
public:
    explicit FindPasswd(QObject *parent = nullptr);
    // Body {"email"} to "/v1/user/findPassword": the server mails a verification code.
    Q_INVOKABLE void VlFindPasswdJson(const QString &email);
signals:
    void sigFindPwdRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

class ValidatePassword : public VLAccountManage
{
    Q_OBJECT
public:
    explicit ValidatePassword(QObject *parent = nullptr);
    // Body {"email", "captcha"} to "/v1/user/validatePassword".
    Q_INVOKABLE void VlValidatePasswordJson(const QString &email, const QString &captcha);
signals:
    void sigValidateCodeRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};

class NewPassword : public VLAccountManage
{
    Q_OBJECT
public:
    explicit NewPassword(QObject *parent = nullptr);
    // Body {"email", "captcha", "password" (new)} to "/v1/user/newPassword".
    Q_INVOKABLE void VlNewPasswordJson(const QString &email, const QString &captcha,
                                       const QString &password);
signals:
    void sigAlterPwdRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};
