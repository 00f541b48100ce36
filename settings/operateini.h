// One INI settings file in the toolkit's INI format, UTF-8.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QSettings;
class QTemporaryDir;
namespace platform {
class FileChangeWatch;
}

class OperateIni : public QObject
{
    Q_OBJECT
public:
    // How the two programs read. The configurator answers a missing key with "NULL"
    // and reads the file through the settings object's cache. The agent answers it
    // with "999" (a stored "NULL" too) and must see every write the configurator
    // completes, also one that keeps the file's size and time stamp, so it reads
    // the file's bytes and parses them afresh whenever they change. Where the
    // system reports changes to the file's folder, it reads the file only when
    // something may have changed since its last read.
    enum class Reader { Configurator, Agent };

    // Makes the agent reader's change watch for a file (absolute, local encoding)
    // when it binds one; production: platform::watchFileChanges. Tests swap it.
    using ChangeWatchFactory = std::unique_ptr<platform::FileChangeWatch> (*)(const std::string &);
    static void setChangeWatchFactory(ChangeWatchFactory factory); // null: production

    static const QString kUnbound; // "key error or unInit obj"

    // Removes the folders of private copies that agents of this program left in
    // the temporary folder when they ended without tidying up (killed, crashed, or
    // ended with a Windows session). Only for the agent once it holds its instance
    // lock, when no other agent of this user can be using one; folders that cannot
    // be removed (another user's) stay. Answers how many were removed.
    static int removeLeftSnapshotFolders();

    explicit OperateIni(Reader reader = Reader::Configurator, QObject *parent = nullptr);
    ~OperateIni() override;

    void setSetIniPath(const QString &path);
    QString getValue(const QString &key);
    void setValue(const QString &key, const QString &value);
    // Removes a key, or a whole group when `key` names one ("/PROGRAM2"). Nothing
    // is flushed here.
    void remove(const QString &key);
    // The keys directly in `group` ("PROGRAM2"), and the groups of the file.
    QStringList childKeys(const QString &group);
    QStringList childGroups();
    // The configurator writes its changes (and hears the file's other writers);
    // a write that fails is reported to SettingsSaves and tried again at the next
    // sync. The agent re-reads the file if it changed.
    void sync();
    // Whether every change made here has reached the file.
    bool allSaved() const { return m_unsaved.empty(); }

    bool isBound() const { return m_settings != nullptr; }
    QString path() const { return m_path; }
    Reader reader() const { return m_reader; }
    // Changes whenever what getValue() answers may have changed (a new binding, a
    // re-read of a changed file, a setValue): callers that derive something from
    // the file's contents rebuild it when this differs from the last time.
    quint64 generation() const { return m_generation; }

private:
    void release();
    void openSettings(const QString &file);
    void refreshSnapshot();
    void writeChanges();
    void giveUpPending();
    void reopen();

    std::unique_ptr<QSettings> m_settings;
    QString m_path;
    const Reader m_reader;
    // Configurator: the changes since the last write that reached the file, in
    // order (a value, or a removal), so that the file can be opened afresh.
    std::vector<std::pair<QString, std::optional<QString>>> m_unsaved;

    // Agent reader: the bytes last parsed and the private copy they were parsed from.
    QByteArray m_snapshotBytes;
    QByteArray m_readBuffer;
    bool m_snapshotExists = false;
    QString m_snapshotFile;
    quint64 m_snapshotSerial = 0;
    quint64 m_generation = 0;
    std::unique_ptr<QTemporaryDir> m_snapshotDir;
    std::unique_ptr<platform::FileChangeWatch> m_watch;
};
