// Log-in: posts the e-mail and password and, when the server accepts them, keeps
// the session it returns in the "Authorization" response header.
#pragma once

#include "operatetoken.h"
#include "vlaccountmanage.h"

class LoginAccount : public VLAccountManage
{
    Q_OBJECT
public:
    explicit LoginAccount(QObject *parent = nullptr);

    // Body {"email", "password"} to "/v1/user/login".
    Q_INVOKABLE void VlPostLoginJson(const QString &emailAccount, const QString &passwd);

signals:
    // (code, nickname on success or the server's message). The parameters carry no
    // names: pages connect a function of two arguments.
    void sigLoginRet(int, QString);

private slots:
    void slots_onSigFinished(QNetworkReply *reply);

private:
    OperateToken m_tokenStore;
    QString m_email; // of the most recent VlPostLoginJson
};
