#include "configsync.h"

#include "configdocument.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QNetworkReply>

namespace {

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

SaveConfigInfo::SaveConfigInfo(QObject *parent) : VLAccountManage(parent)
{
    connect(this, &VLAccountManage::sigFinished, this, &SaveConfigInfo::slots_onSigFinished);
}

void SaveConfigInfo::VlSaveConfigInfoJson()
{
    const QJsonObject document = configdoc::build(m_conf);
    QJsonObject body;
    body.insert(QStringLiteral("filePath"), QString());
    body.insert(QStringLiteral("configContent"), QString::fromUtf8(compact(document)));
    body.insert(QStringLiteral("configType"), m_conf.GetCurrentMouse());
    postJson(ConfigSave, compact(body));
}

void SaveConfigInfo::slots_onSigFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const Envelope result = readCodeAndMessage(reply);
    emit sigSaveConfRet(result.rCode, result.rMsg);
}

GetDriverConf::GetDriverConf(QObject *parent) : VLAccountManage(parent)
{
    connect(this, &VLAccountManage::sigFinished, this, &GetDriverConf::slots_onSigFinished);
}

void GetDriverConf::VlDownConfigInfoJson()
{
    QJsonObject body;
    body.insert(QStringLiteral("configType"), m_conf.GetCurrentMouse());
    postJson(ConfigGet, compact(body));
}

void GetDriverConf::slots_onSigFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const Envelope envelope = readEnvelope(reply);
    if (!envelope.usable) {
        emit sigGetConfRet(envelope.rCode, envelope.rMsg);
        return;
    }
    const int rCode = codeOf(envelope.root, 0);
    if (rCode != 0) {
        emit sigGetConfRet(rCode, stringOf(envelope.root.value(QLatin1String("msg"))));
        return;
    }

    // A success without a readable document is no download: nothing is written.
    const QJsonValue content =
        envelope.root.value(QLatin1String("data")).toObject().value(QLatin1String("configContent"));
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(stringOf(content).toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        qDebug() << "GetDriverConf: unusable configContent" << parseError.errorString();
        emit sigGetConfRet(-1, serverErrorText());
        return;
    }
    QString problem;
    if (!configdoc::apply(m_conf, document.object(), &problem)) {
        qDebug().noquote() << "GetDriverConf: downloaded settings refused, nothing written:" << problem;
        emit sigGetConfRet(-1, tr("The downloaded settings could not be used, nothing was changed"));
        return;
    }
    if (!m_conf.allSaved()) {
        emit sigGetConfRet(-1, tr("The downloaded settings could not be saved"));
        return;
    }
    emit sigGetConfRet(0, QString());
}
