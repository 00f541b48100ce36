#include "settingssaves.h"

#include <QDebug>
#include <QDir>

SettingsSaves &SettingsSaves::instance()
{
    static SettingsSaves saves;
    return saves;
}

void SettingsSaves::report(const QString &path, bool saved)
{
    if (saved)
        emit written(path);
    if (saved != m_failing.contains(path))
        return; // nothing new: still saved, or still failing
    if (saved) {
        m_failing.removeAll(path);
        qInfo().noquote() << "settings saved again:" << path;
    } else {
        m_failing.append(path);
        qWarning().noquote() << "settings could not be saved:" << path;
        emit saveFailed(QDir::toNativeSeparators(path));
    }
}

void SettingsSaves::givenUp(const QString &path)
{
    if (m_failing.removeAll(path) > 0)
        qWarning().noquote() << "settings not saved, changes given up:" << path;
}
