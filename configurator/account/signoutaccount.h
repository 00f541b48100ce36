// Sign-out on the server: ends the stored session there, so that the token is
// worth nothing even if a copy of the settings file survives. The local sign-out
// (an empty stored token) does not wait for it and does not depend on its result.
#pragma once

#include "vlaccountmanage.h"

class SignOutAccount : public VLAccountManage
{
    Q_OBJECT
public:
    explicit SignOutAccount(QObject *parent = nullptr);
    // Posts {} to "/v1/user/logout" with the stored token in "Authorization".
    void send();
    // Sends the request for the stored session, then forgets the token at once,
    // whatever becomes of the request. The request object deletes itself once its
    // reply is in (or the transfer deadline has passed).
    static void signOut(OperateToken &token);
signals:
    void sigSignOutRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};
