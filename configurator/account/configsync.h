// Upload and download of the current mouse's assignments and their parameters as
// one configuration document: 34 string members, the six controls as entry
// documents {"index","name","tag"} and the 28 PATH values; and, when program sets
// are stored, the member "programs": an array of {"program", "name", and the
// control and path members of the controls and parameters the set assigns}.
#pragma once

#include "configdocument.h"
#include "opfunconffile.h"
#include "vlaccountmanage.h"

#include <QJsonObject>
#include <QString>



class SaveConfigInfo : public VLAccountManage
{
    Q_OBJECT
public:
    explicit SaveConfigInfo(QObject *parent = nullptr);
    // Body {"filePath": "", "configContent": document text, "configType": model}
    // to "/v1/driver/config2/save".
    Q_INVOKABLE void VlSaveConfigInfoJson();
signals:
    void sigSaveConfRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);

private:
    OpFunConfFile m_conf;
};

class GetDriverConf : public VLAccountManage
{
    Q_OBJECT
public:
    explicit GetDriverConf(QObject *parent = nullptr);
    // Body {"configType": model} to "/v1/driver/config2/get"; the answer comes
    // after the document has been written.
    Q_INVOKABLE void VlDownConfigInfoJson();
signals:
    void sigGetConfRet(int rCode, QString rMsg);
private slots:
    void slots_onSigFinished(QNetworkReply *reply);

private:
    OpFunConfFile m_conf;
};
