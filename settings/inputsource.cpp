#include "inputsource.h"

#include "appenv.h"

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
    QSettings file(filePath(), QSettings::IniFormat); // written whole, renamed into place
    file.setValue(QStringLiteral("Input/source"), name(source));
    file.sync();
    return file.status() == QSettings::NoError;
}

Source stored()
{
    return fromName(QSettings(filePath(), QSettings::IniFormat).value(QStringLiteral("Input/source")).toString());
}

} // namespace inputsource
