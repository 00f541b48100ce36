#include "fuzz.h"

#include "appenv.h"
#include "inicodec.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace fuzz {
namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

} // namespace

void startQt()
{
    if (QCoreApplication::instance())
        return;
    // The settings classes write through files that are synced to disk; in memory
    // that costs nothing.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qInstallMessageHandler(quiet);
    new QCoreApplication(argc, argv);
    FUZZ_CHECK(folder().isValid());
    QDir().mkpath(folder().path() + QStringLiteral("/system"));
    appenv::setApplicationDir(folder().path());
    appenv::setWindowsVersionClass(QStringLiteral("win10"));
}

std::string settingsDir()
{
    return (folder().path() + QStringLiteral("/system")).toStdString();
}

Files snapshot()
{
    Files files;
    const QDir dir(QString::fromStdString(settingsDir()));
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files[name.toStdString()] = file.readAll().toStdString();
    }
    return files;
}

void restore(const Files &files)
{
    // The toolkit keeps parsed settings files and reads a file again only when its
    // size or time stamp changed: every file written here gets a time stamp of its
    // own, so no object of this process goes on with an earlier input's copy.
    static QDateTime stamp = QDateTime::currentDateTimeUtc().addYears(-1);
    QDir dir(QString::fromStdString(settingsDir()));
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(name);
    for (const auto &f : files) {
        QFile file(dir.filePath(QString::fromStdString(f.first)));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(f.second.data(), qint64(f.second.size())) == qint64(f.second.size()));
        stamp = stamp.addSecs(1);
        FUZZ_CHECK(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
}

std::map<std::string, std::string> iniValues(const std::string &bytes)
{
    // A new name each time: the toolkit caches parsed files by name and time stamp.
    static int serial = 0;
    const QString path = folder().path() + QStringLiteral("/parse-%1.ini").arg(++serial);
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    }
    std::map<std::string, std::string> values;
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.setIniCodec(ini::utf8Codec());
        for (const QString &key : ini.allKeys())
            values[key.toStdString()] = ini.value(key).toString().toStdString();
    }
    QFile::remove(path);
    return values;
}

std::map<std::string, std::string> changedKeys(const std::map<std::string, std::string> &before,
                                               const std::map<std::string, std::string> &after)
{
    std::map<std::string, std::string> changed;
    for (const auto &kv : after) {
        const auto old = before.find(kv.first);
        if (old == before.end() || old->second != kv.second)
            changed.insert(kv);
    }
    for (const auto &kv : before)
        if (!after.count(kv.first))
            changed.insert({kv.first, std::string()});
    return changed;
}

} // namespace fuzz
