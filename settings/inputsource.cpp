#include "inputsource.h"

#include "appenv.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace inputsource {

QString name(Source source)
{
    switch (source) {
    case Source::Driver:
        return QStringLiteral("driver");
    case Source::Hook:
        return QStringLiteral("hook");
    case Source::Unknown:
        break;
    }
    return QString();
}

Source fromName(const QString &text)
{
    for (Source s : {Source::Driver, Source::Hook}) {
        if (text == name(s))
            return s;
    }
    return Source::Unknown;
}

QString filePath()
{
    return appenv::settingsDir() + QStringLiteral("/agentinput.ini");
}

bool store(Source source)
{
    QDir().mkpath(appenv::settingsDir());
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QByteArrayLiteral("[Input]\nsource=") + name(source).toLatin1() + '\n');
    return file.commit();
}

Source stored()
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly) || file.size() > 256)
        return Source::Unknown;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith("source="))
            return fromName(QString::fromLatin1(trimmed.mid(7)));
    }
    return Source::Unknown;
}

} // namespace inputsource
