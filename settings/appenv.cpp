#include "appenv.h"

#include <QCoreApplication>
#include <QSysInfo>

namespace appenv {
namespace {
QString &dirOverride()
{
    static QString dir;
    return dir;
}
QString &versionOverride()
{
    static QString version;
    return version;
}
} // namespace

QString applicationDir()
{
    return dirOverride().isEmpty() ? QCoreApplication::applicationDirPath() : dirOverride();
}

void setApplicationDir(const QString &dir)
{
    dirOverride() = dir;
}

QString versionClassFor(const QString &productType, const QString &productVersion)
{
    if (productType != QLatin1String("windows"))
        return QStringLiteral("win7");
    if (productVersion == QLatin1String("8") || productVersion == QLatin1String("8.1"))
        return QStringLiteral("win8");
    if (productVersion == QLatin1String("10"))
        return QStringLiteral("win10");
    return QStringLiteral("win7");
}

QString windowsVersionClass()
{
    if (!versionOverride().isEmpty())
        return versionOverride();
    return versionClassFor(QSysInfo::productType(), QSysInfo::productVersion());
}

void setWindowsVersionClass(const QString &versionClass)
{
    versionOverride() = versionClass;
}

bool isPlainFileName(const QString &name)
{
    if (name.isEmpty() || name.size() > 64 || name.startsWith(QLatin1Char('.')) ||
        name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F ||
            QLatin1String("/\\:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

QString mainSettingsPath()
{
    return applicationDir() + QStringLiteral("/system/mouse.ini");
}

QString modelSettingsPath(const QString &model)
{
    return applicationDir() + QStringLiteral("/system/") + model + QStringLiteral(".ini");
}

} // namespace appenv
