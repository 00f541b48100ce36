#include "operatetoken.h"

#include "signoutaccount.h"

#include "appenv.h"

const QString OperateToken::kNoSession = QStringLiteral("token_fail");

OperateToken::OperateToken(QObject *parent) : QObject(parent)
{
    m_mainIni.setSetIniPath(appenv::mainSettingsPath());
}

QString OperateToken::GetToken()
{
    const QString token = m_mainIni.getValue(QStringLiteral("/INFO/token"));
    if (token.isEmpty() || token.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return kNoSession;
    return token;
}

QString OperateToken::GetEmail()
{
    return m_mainIni.getValue(QStringLiteral("/INFO/email"));
}

QString OperateToken::GetNickName()
{
    return m_mainIni.getValue(QStringLiteral("/INFO/nickName"));
}

void OperateToken::store(const QString &key, const QString &value)
{
    m_mainIni.setValue(key, value);
    m_mainIni.sync();
}

void OperateToken::SignOut()
{
    SignOutAccount::signOut(*this);
}

void OperateToken::SetToken(const QString &token)
{
    store(QStringLiteral("/INFO/token"), token);
}

void OperateToken::SetEmail(const QString &email)
{
    store(QStringLiteral("/INFO/email"), email);
}

void OperateToken::SetNickName(const QString &nickName)
{
    store(QStringLiteral("/INFO/nickName"), nickName);
}
