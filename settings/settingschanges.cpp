#include "settingschanges.h"

#include "file_change.h"
#include "settingssaves.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {
// The file's bytes; `exists` false when it cannot be read.
QByteArray readWhole(const QString &path, bool &exists)
{
    QFile file(path);
    exists = file.open(QIODevice::ReadOnly);
    return exists ? file.readAll() : QByteArray();
}
} // namespace

SettingsChanges &SettingsChanges::instance()
{
    static SettingsChanges changes;
    return changes;
}

SettingsChanges::SettingsChanges()
{
    connect(&m_timer, &QTimer::timeout, this, &SettingsChanges::poll);
    connect(&SettingsSaves::instance(), &SettingsSaves::written, this, &SettingsChanges::ownWrite);
}

SettingsChanges::~SettingsChanges() = default;

void SettingsChanges::setEnabled(bool enabled, int intervalMs)
{
    m_enabled = enabled;
    if (!enabled) {
        m_timer.stop();
        m_files.clear();
        return;
    }
    m_timer.start(intervalMs);
}

void SettingsChanges::watch(const QString &path)
{
    if (!m_enabled || path.isEmpty() || m_files.contains(path))
        return;
    auto file = std::make_shared<File>();
    // The watch is in place before the first read, so no later write goes unseen.
    file->watch = platform::watchFileChanges(
        QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString());
    file->seen = readWhole(path, file->exists);
    m_files.insert(path, file);
}

void SettingsChanges::ownWrite(const QString &path)
{
    const auto found = m_files.constFind(path);
    if (found == m_files.constEnd())
        return;
    // Another program's write between the last poll and this one is kept in what
    // was written here (the toolkit merges the file before it writes).
    (*found)->seen = readWhole(path, (*found)->exists);
}

void SettingsChanges::poll()
{
    QStringList changed;
    for (auto it = m_files.constBegin(); it != m_files.constEnd(); ++it) {
        File &file = **it;
        if (file.watch->poll() == platform::FileChange::None)
            continue;
        bool exists = false;
        const QByteArray bytes = readWhole(it.key(), exists);
        if (exists == file.exists && bytes == file.seen)
            continue;
        file.seen = bytes;
        file.exists = exists;
        qDebug().noquote() << "settings changed by another program:" << it.key();
        changed << it.key();
    }
    // Told after the loop: what the listeners do may watch further files.
    for (const QString &path : qAsConst(changed))
        emit fileChanged(path);
    if (!changed.isEmpty())
        emit changedElsewhere();
}
