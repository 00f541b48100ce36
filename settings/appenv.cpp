#include "appenv.h"

#include "user_folders.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryFile>

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
std::optional<QString> &userFolderOverride()
{
    static std::optional<QString> folder;
    return folder;
}

const QString kSystem = QStringLiteral("system");

// Whether a file can be made in `dir`: the only answer that holds for every
// system's permissions (access control lists, read-only mounts).
std::function<bool(const QString &)> &probeOverride()
{
    static std::function<bool(const QString &)> probe;
    return probe;
}

bool canWriteIn(const QString &dir)
{
    if (probeOverride())
        return probeOverride()(dir);
    if (!QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.velko-write-probe-XXXXXX"));
    return probe.open();
}

// Copies the settings files of `from` that `to` lacks; nothing in `from` changes.
void copySettingsFiles(const QString &from, const QString &to)
{
    const QDir source(from);
    for (const QString &name : source.entryList({QStringLiteral("*.ini")}, QDir::Files)) {
        const QString target = to + QLatin1Char('/') + name;
        if (!QFileInfo::exists(target) && !QFile::copy(source.filePath(name), target))
            qWarning().noquote() << "settings file not copied:" << source.filePath(name) << "to"
                                 << target;
    }
}

struct Decision
{
    QString programDir;
    QString userFolder;
    QString settingsDir;
};

Decision &lastDecision()
{
    static Decision last;
    return last;
}

QString decide(const QString &programDir, const QString &userFolder)
{
    const QString beside = programDir + QLatin1Char('/') + kSystem;
    SettingsFolderFacts facts;
    facts.besideExists = QFileInfo(beside).isDir();
    facts.besideWritable = facts.besideExists && canWriteIn(beside);
    facts.programDirWritable = !facts.besideExists && canWriteIn(programDir);
    facts.userFolderKnown = !userFolder.isEmpty();
    if (settingsPlaceFor(facts) == SettingsPlace::BesideProgram)
        return beside;

    const QString user = userFolder + QLatin1Char('/') + kSystem;
    if (!QFileInfo(user).isDir()) {
        if (!QDir().mkpath(user))
            qWarning().noquote() << "settings folder not created:" << user;
        else if (facts.besideExists)
            copySettingsFiles(beside, user);
    }
    qDebug().noquote() << "settings folder:" << user;
    return user;
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

SettingsPlace settingsPlaceFor(const SettingsFolderFacts &facts)
{
    if (!facts.userFolderKnown)
        return SettingsPlace::BesideProgram; // nowhere else to go
    if (facts.besideExists)
        return facts.besideWritable ? SettingsPlace::BesideProgram : SettingsPlace::UserFolder;
    return facts.programDirWritable ? SettingsPlace::BesideProgram : SettingsPlace::UserFolder;
}

QString userSettingsFolder()
{
    if (userFolderOverride())
        return *userFolderOverride();
    return QDir::fromNativeSeparators(QString::fromStdString(platform::userSettingsFolder()));
}

void setUserSettingsFolder(std::optional<QString> folder)
{
    userFolderOverride() = folder;
}

void setWriteProbe(std::function<bool(const QString &dir)> probe)
{
    probeOverride() = std::move(probe);
    lastDecision() = {};
}

QString settingsDir()
{
    Decision &last = lastDecision();
    const QString programDir = applicationDir();
    const QString userFolder = userSettingsFolder();
    if (last.settingsDir.isEmpty() || last.programDir != programDir ||
        last.userFolder != userFolder)
        last = {programDir, userFolder, decide(programDir, userFolder)};
    return last.settingsDir;
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
    return settingsDir() + QStringLiteral("/mouse.ini");
}

QString modelSettingsPath(const QString &model)
{
    return settingsDir() + QLatin1Char('/') + model + QStringLiteral(".ini");
}

} // namespace appenv
