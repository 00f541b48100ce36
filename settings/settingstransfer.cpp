#include "settingstransfer.h"

#include "appenv.h"
#include "configdocument.h"
#include "mousemodels.h"
#include "opfunconffile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace settingstransfer {

const char kFormat[] = "velko-options-settings";

namespace {

bool isModel(const QString &name)
{
    for (const char *model : velko::kMouseModels)
        if (name == QLatin1String(model))
            return true;
    return false;
}

// The digest over what the file carries: the chosen model and the documents.
QString digestOf(const QJsonValue &model, const QJsonValue &models)
{
    const QByteArray content = QJsonDocument(QJsonObject{{QStringLiteral("model"), model},
                                                         {QStringLiteral("models"), models}})
                                   .toJson(QJsonDocument::Compact);
    return QString::fromLatin1(
        QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
}

} // namespace

QJsonObject exportDocument()
{
    OpFunConfFile conf;
    QJsonObject models;
    for (const char *model : velko::kMouseModels) {
        if (!QFileInfo::exists(appenv::modelSettingsPath(QLatin1String(model))))
            continue;
        conf.pinModel(QLatin1String(model));
        QJsonObject document = configdoc::build(conf);
        // Always there, so that an import restores "no program sets" too.
        if (!document.contains(QLatin1String("programs")))
            document.insert(QStringLiteral("programs"), QJsonArray());
        models.insert(QLatin1String(model), document);
    }
    const QString current = conf.GetCurrentMouse();
    const QJsonValue model = isModel(current) ? QJsonValue(current) : QJsonValue();
    return QJsonObject{{QStringLiteral("format"), QLatin1String(kFormat)},
                       {QStringLiteral("version"), kVersion},
                       {QStringLiteral("model"), model},
                       {QStringLiteral("models"), models},
                       {QStringLiteral("sha256"), digestOf(model, models)}};
}

QString exportTo(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QCoreApplication::translate("SettingsTransfer", "The file cannot be written: %1")
            .arg(file.errorString());
    file.write(QJsonDocument(exportDocument()).toJson(QJsonDocument::Indented));
    if (!file.commit())
        return QCoreApplication::translate("SettingsTransfer", "The file cannot be written: %1")
            .arg(file.errorString());
    return QString();
}

ImportResult importFrom(const QString &path)
{
    ImportResult result;
    const auto refuse = [&result](const QString &why) {
        result.problem = why;
        return result;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QCoreApplication::translate("SettingsTransfer", "The file cannot be read: %1")
                          .arg(file.errorString()));
    if (file.size() > kMaxFileBytes)
        return refuse(QCoreApplication::translate("SettingsTransfer",
                                                  "The file is too large to be a settings file"));
    QJsonParseError error{};
    const QJsonDocument parsed = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !parsed.isObject())
        return refuse(
            QCoreApplication::translate("SettingsTransfer", "The file is damaged or incomplete"));
    const QJsonObject root = parsed.object();
    if (root.value(QLatin1String("format")).toString() != QLatin1String(kFormat))
        return refuse(QCoreApplication::translate("SettingsTransfer",
                                                  "This is not a Velko Options settings file"));
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() < 1 || version.toDouble() != version.toInt())
        return refuse(QCoreApplication::translate("SettingsTransfer",
                                                  "The file's format version is not known"));
    const QJsonValue model = root.value(QLatin1String("model"));
    const QJsonValue models = root.value(QLatin1String("models"));
    if (root.value(QLatin1String("sha256")).toString() != digestOf(model, models))
        return refuse(QCoreApplication::translate(
            "SettingsTransfer", "The file was changed or damaged after it was saved"));
    if (!models.isObject())
        return refuse(
            QCoreApplication::translate("SettingsTransfer", "The file is damaged or incomplete"));
    if (!model.isNull() && !isModel(model.toString()))
        return refuse(QCoreApplication::translate("SettingsTransfer",
                                                  "The file names an unknown mouse model: %1")
                          .arg(model.toString()));

    // Everything is checked before anything is written.
    const QJsonObject documents = models.toObject();
    for (auto it = documents.begin(); it != documents.end(); ++it) {
        if (!isModel(it.key()))
            return refuse(QCoreApplication::translate("SettingsTransfer",
                                                      "The file names an unknown mouse model: %1")
                              .arg(it.key()));
        QString problem;
        QStringList unknown;
        if (!it.value().isObject() || !configdoc::check(it.value().toObject(), &problem, &unknown))
            return refuse(QCoreApplication::translate("SettingsTransfer",
                                                      "The settings of %1 cannot be used: %2")
                              .arg(it.key(), problem));
        for (const QString &member : unknown)
            result.leftOut << it.key() + QLatin1Char('/') + member;
    }
    const bool newer = version.toInt() > kVersion;
    if (newer)
        for (const QString &key : root.keys())
            if (!QStringList{"format", "version", "model", "models", "sha256"}.contains(key))
                result.leftOut << key;
    if (!result.leftOut.isEmpty() && !newer)
        return refuse(
            QCoreApplication::translate("SettingsTransfer",
                                        "The file holds settings this version does not know: %1")
                .arg(result.leftOut.join(QStringLiteral(", "))));

    OpFunConfFile conf;
    for (auto it = documents.begin(); it != documents.end(); ++it) {
        conf.pinModel(it.key());
        QString problem;
        configdoc::apply(conf, it.value().toObject(), &problem);
        result.saved = result.saved && conf.allSaved();
    }
    conf.pinModel(QString());
    if (model.isString() && conf.GetCurrentMouse() != model.toString())
        conf.SetCurrentMouse(model.toString());
    result.applied = true;
    result.saved = result.saved && conf.allSaved();
    return result;
}

} // namespace settingstransfer
