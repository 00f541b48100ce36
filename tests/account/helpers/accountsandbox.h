// A temporary application folder for the account tests: its "system" folder, the
// "win10" class, model "QX210" chosen with its defaults, and the account requests
// sent to baseUrl when one is given.
#pragma once

#include "appenv.h"
#include "opfunconffile.h"
#include "qmlwarninggate.h"

#include <QDir>
#include <QLoggingCategory>
#include <QNetworkProxy>
#include <QSettings>
#include <QTemporaryDir>
#include <QUuid>

inline const QString kAbsent = QStringLiteral("<absent>"); // a missing key, or one to remove

// Writes one key through the toolkit's settings object, whose in-process cache the
// product shares (kAbsent removes it).
inline void writeIni(const QString &file, const QString &key, const QString &value)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    if (value == kAbsent)
        settings.remove(key);
    else
        settings.setValue(key, value);
}

// Every key ("/GROUP/key") as a fresh reader of the file's bytes sees it: a copy
// under a name never used before has no cached state.
inline QMap<QString, QString> iniOnDisk(const QString &file)
{
    const QString copy = QDir::temp().filePath(QUuid::createUuid().toString(QUuid::Id128));
    QMap<QString, QString> contents;
    if (QFile::copy(file, copy)) {
        QSettings settings(copy, QSettings::IniFormat);
        settings.setIniCodec("UTF-8");
        for (const QString &key : settings.allKeys())
            contents.insert(QLatin1Char('/') + key, settings.value(key).toString());
    }
    QFile::remove(copy);
    return contents;
}

inline QString readIni(const QString &file, const QString &key)
{
    return iniOnDisk(file).value(key, kAbsent);
}

inline QByteArray bytesOf(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// For initTestCase: no proxy between the tests and their server, no debug lines,
// and no QML warning let through.
inline void quietAccountTests()
{
    qmlgate::install();
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

class AccountSandbox
{
public:
    explicit AccountSandbox(const QString &baseUrl = QString())
    {
        if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("system")))
            qFatal("no temporary application folder");
        appenv::setApplicationDir(m_dir.path());
        appenv::setWindowsVersionClass(QStringLiteral("win10"));
        OpFunConfFile().SetCurrentMouse(QStringLiteral("QX210"));
        if (!baseUrl.isEmpty())
            writeIni(mainFile(), QStringLiteral("/SET/server"), baseUrl);
    }
    ~AccountSandbox()
    {
        appenv::setApplicationDir(QString());
        appenv::setWindowsVersionClass(QString());
    }
    QString mainFile() const { return m_dir.filePath(QStringLiteral("system/mouse.ini")); }
    QString modelFile(const QString &model = QStringLiteral("QX210")) const
    {
        return m_dir.filePath(QStringLiteral("system/%1.ini").arg(model));
    }

private:
    QTemporaryDir m_dir;
};
