// Whether what the configurator changes in its settings files reaches the disk.
// Every settings file reports here each flush that had changes to write; while
// one of them cannot be written (a full disk, a folder made read-only, a file
// held by another program) the pages warn, and the changes stay pending until a
// later flush writes them. Main thread only, like the settings files.
#pragma once

#include <QObject>
#include <QStringList>

class SettingsSaves : public QObject
{
    Q_OBJECT

public:
    static SettingsSaves &instance();

    // The files whose last flush failed; empty while every change was saved.
    QStringList failingFiles() const { return m_failing; }
    void report(const QString &path, bool saved);
    // The changes pending for `path` were given up (its settings object moved to
    // another file or ended): it no longer counts as failing, so that the next
    // write that fails there is reported again.
    void givenUp(const QString &path);

signals:
    // A file that was written until now could not be written (its path as the
    // system writes paths).
    void saveFailed(const QString &path);
    // A flush with changes reached `path`. It wrote every change made to that
    // file in this program up to then, by any object: the toolkit shares a file's
    // unwritten changes among all objects that have it open.
    void written(const QString &path);

private:
    QStringList m_failing;
};
