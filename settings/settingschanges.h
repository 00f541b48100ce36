// Changes that other programs make to the configurator's settings files while it
// runs: velko-options, an import by another copy, a text editor. Once enabled, each
// file a configurator settings object binds is watched; a poll each interval reads
// the files the system reports as touched, and when one's bytes differ both from
// those last seen and from those this program last wrote there, changedElsewhere()
// is emitted (once per poll, however many files changed). This program's own
// writes (SettingsSaves::written) never count. Main thread only.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace platform {
class FileChangeWatch;
}

class SettingsChanges : public QObject
{
    Q_OBJECT

public:
    static SettingsChanges &instance();
    ~SettingsChanges() override;

    // Off until enabled: programs that only read and write once (the command-line
    // tool, the tests) watch nothing.
    void setEnabled(bool enabled, int intervalMs = 1000);
    bool isEnabled() const { return m_enabled; }
    // Watches `path` (from here on) if enabled and not watched yet.
    void watch(const QString &path);
    // Polls now instead of at the next interval.
    void poll();

signals:
    // For each file that changed (the settings objects bound to it re-read it),
    // then once for them all.
    void fileChanged(const QString &path);
    void changedElsewhere();

private:
    SettingsChanges();
    void ownWrite(const QString &path);

    struct File
    {
        std::unique_ptr<platform::FileChangeWatch> watch;
        QByteArray seen; // the bytes when last read, or last written here
        bool exists = false;
    };
    QHash<QString, std::shared_ptr<File>> m_files;
    QTimer m_timer;
    bool m_enabled = false;
};
