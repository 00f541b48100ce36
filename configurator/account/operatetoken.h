// The signed-in account kept between runs: session token, e-mail and nickname in
// group INFO of the main settings file. Qt Quick type Operate.Conf.OperateToken 1.0.
#pragma once

#include "operateini.h"

#include <QObject>
#include <QString>

class OperateToken : public QObject
{
    Q_OBJECT
public:
    // The value by which everything recognises that nobody is signed in.
    static const QString kNoSession; // "token_fail"

    // Binds the main settings file of the application folder.
    explicit OperateToken(QObject *parent = nullptr);

    // /INFO/token; "token_fail" when it is absent, empty or "NULL" in any letter case.
    Q_INVOKABLE QString GetToken();
    // /INFO/email and /INFO/nickName as stored ("NULL" when absent).
    Q_INVOKABLE QString GetEmail();
    Q_INVOKABLE QString GetNickName();

    // Each writes its key and flushes the file at once. Signing out is SetToken("").
    Q_INVOKABLE void SetToken(const QString &token);
    Q_INVOKABLE void SetEmail(const QString &email);
    Q_INVOKABLE void SetNickName(const QString &nickName);
    // The "Sign out" button: asks the server to end the session (when one is
    // stored), then writes an empty token at once, whatever the server answers.
    Q_INVOKABLE void SignOut();

private:
    void store(const QString &key, const QString &value);

    OperateIni m_mainIni{OperateIni::Reader::Configurator};
};
