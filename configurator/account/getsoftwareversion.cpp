#include "getsoftwareversion.h"

#include <QJsonDocument>
#include <QNetworkReply>

const QString GetSoftwareVersion::kRunningVersion = QStringLiteral("0.9");
const QString GetSoftwareVersion::kSoftwareType = QStringLiteral("qx210-software");

GetSoftwareVersion::GetSoftwareVersion(QObject *parent) : VLAccountManage(parent)
{
    connect(this, &VLAccountManage::sigFinished, this, &GetSoftwareVersion::slots_onSigFinished);
}

void GetSoftwareVersion::vlGetSoftwareVersion()
{
    QJsonObject body;
    body.insert(QStringLiteral("versionType"), kSoftwareType);
    postJson(LatestVersion, QJsonDocument(body).toJson(QJsonDocument::Compact));
}

void GetSoftwareVersion::slots_onSigFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const Envelope envelope = readEnvelope(reply, "recvArray ");
    if (!envelope.usable) {
        emit sigGetSoftwareVer(envelope.rCode, envelope.rMsg);
        return;
    }
    const int rCode = codeOf(envelope.root, 0);
    if (rCode != 0) {
        emit sigGetSoftwareVer(rCode, stringOf(envelope.root.value(QLatin1String("msg"))));
        return;
    }
    // A plain text comparison: any other version, newer or older, is not this one.
    const QJsonObject data = envelope.root.value(QLatin1String("data")).toObject();
    const QString version = stringOf(data.value(QLatin1String("version")));
    if (version.compare(kRunningVersion, Qt::CaseInsensitive) == 0)
        emit sigGetSoftwareVer(0, QStringLiteral("pass"));
    else
        emit sigGetSoftwareVer(0, stringOf(data.value(QLatin1String("downloadUrl"))));
}
