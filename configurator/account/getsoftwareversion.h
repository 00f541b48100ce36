// Asks the account server for the latest version of this software.
#pragma once

#include "vlaccountmanage.h"

class GetSoftwareVersion : public VLAccountManage
{
    Q_OBJECT
public:
    static const QString kRunningVersion; // "0.9"
    static const QString kSoftwareType;   // "qx210-software"

    explicit GetSoftwareVersion(QObject *parent = nullptr);

    // Body {"versionType": "qx210-software"} to "/v1/driver/latest/version".
    Q_INVOKABLE void vlGetSoftwareVersion();

signals:
    // On success rMsg is "pass" when the server names the running version (letter
    // case aside), otherwise its download address.
    void sigGetSoftwareVer(int rCode, QString rMsg);

private slots:
    void slots_onSigFinished(QNetworkReply *reply);
};
