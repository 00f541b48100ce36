#include "inputsource.h"

#include "appenv.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

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
    // Only the agent writes this file, and one agent runs per user: it needs no
    // lock. The toolkit's settings writer takes a lock file, and a lock left by an
    // agent killed while writing kept the next agent's start waiting half a minute
    // for it to age, deaf to the mouse and to the configurator meanwhile.
    const QString path = filePath();
    QFile::remove(path + QStringLiteral(".lock")); // left by such a writer
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path); // written whole, renamed into place
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write("[Input]\nsource=" + name(source).toUtf8() + '\n');
    return file.commit();
}

Source stored()
{
    return fromName(QSettings(filePath(), QSettings::IniFormat).value(QStringLiteral("Input/source")).toString());
}

} // namespace inputsource
