// Upload and download of the current mouse's assignments and their parameters as
// one configuration document: 34 string members, the six controls as entry
// documents {"index","name","tag"} and the 28 PATH values; and, when program sets
// are stored, the member "programs": an array of {"program", "name", and the
// control and path members of the controls and parameters the set assigns}.
#pragma once

#include "opfunconffile.h"
#include "vlaccountmanage.h"

#include <QJsonObject>
#include <QString>

namespace configdoc {

// The document of the file the accessor is bound to (the accessor is pointed at
// the current mouse's file first). A control whose entry has not exactly three
// "-"-separated parts is sent as the empty text; an empty or "none" path value as
// "none"; an absent one as "NULL". In "programs", what a set does not assign and
// parameters at their defaults ("none", speeds "1") are left out. Both functions address the sets themselves: `conf` is left fixed on
// the default set, whatever the pages have selected.
QJsonObject build(OpFunConfFile &conf);

// Writes a downloaded document into the current mouse's file and flushes it.
// Controls whose value is not a usable entry document, and path keys that are
// absent or not text, keep what the file holds. A document without "programs"
// leaves the stored program sets alone; one with it replaces them all (a key
// assigned there gets the parameters it lacks with their defaults), and is
// refused whole when any part of that member is unusable: false, `problem` says
// why, and nothing is written.
bool apply(OpFunConfFile &conf, const QJsonObject &document, QString *problem = nullptr);

} // namespace configdoc

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
