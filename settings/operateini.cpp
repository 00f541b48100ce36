#include "operateini.h"

#include "file_change.h"
#include "inicodec.h"
#include "settingschanges.h"
#include "settingssaves.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>
#include <QTemporaryDir>

#include <cstring>

// The line of every read: off by default (the agent reads for every mouse event);
// QT_LOGGING_RULES="velko.settings.read.debug=true" shows it.
Q_LOGGING_CATEGORY(lcSettingsRead, "velko.settings.read", QtInfoMsg)

const QString OperateIni::kUnbound = QStringLiteral("key error or unInit obj");

namespace {
// The log shows that a secret was read or written, never the secret: the session
// token and anything named like a password or a recovery code.
QString loggable(const QString &key, const QString &value)
{
    const QString name = key.section(QLatin1Char('/'), -1).toLower();
    const bool secret = name == QLatin1String("token") || name.contains(QLatin1String("passw")) ||
                        name.contains(QLatin1String("pwd")) || name.contains(QLatin1String("code"));
    return secret && !value.isEmpty() ? QStringLiteral("***") : value;
}

// The agent reader's private copies live in a folder of their own in the temporary
// folder: this name and six random characters.
QString snapshotFolderPrefix()
{
    return QCoreApplication::applicationName() + QStringLiteral("-settings-");
}

OperateIni::ChangeWatchFactory &changeWatchFactory()
{
    static OperateIni::ChangeWatchFactory factory = nullptr;
    return factory;
}
} // namespace

int OperateIni::removeLeftSnapshotFolders()
{
    int removed = 0;
    const QFileInfoList entries = QDir::temp().entryInfoList(
        {snapshotFolderPrefix() + QStringLiteral("??????")},
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo &entry : entries) {
        if (!entry.isSymLink() && QDir(entry.filePath()).removeRecursively())
            ++removed;
    }
    if (removed > 0)
        qDebug() << "removed" << removed << "folders of settings copies left by an earlier run";
    return removed;
}

void OperateIni::setChangeWatchFactory(ChangeWatchFactory factory)
{
    changeWatchFactory() = factory;
}

OperateIni::OperateIni(Reader reader, QObject *parent) : QObject(parent), m_reader(reader)
{
    if (m_reader != Reader::Configurator)
        return;
    // Another object's write of this file carried what is pending here as well;
    // kept, it would be put back over newer values when this object writes next.
    connect(&SettingsSaves::instance(), &SettingsSaves::written, this, [this](const QString &path) {
        if (path == m_path)
            m_unsaved.clear();
    });
    // Another program's write is read at once, also where nothing here syncs.
    connect(&SettingsChanges::instance(), &SettingsChanges::fileChanged, this,
            [this](const QString &path) {
                if (path == m_path && m_settings)
                    sync();
            });
}

OperateIni::~OperateIni()
{
    release();
    giveUpPending();
}

// What could not be written is dropped: the file no longer counts as failing.
void OperateIni::giveUpPending()
{
    if (m_unsaved.empty())
        return;
    SettingsSaves::instance().givenUp(m_path);
    m_unsaved.clear();
}

void OperateIni::release()
{
    m_watch.reset();
    if (!m_settings)
        return;
    if (m_reader == Reader::Configurator)
        writeChanges();
    else
        m_settings->sync();
    m_settings.reset();
    if (!m_snapshotFile.isEmpty())
        QFile::remove(m_snapshotFile);
    m_snapshotFile.clear();
    m_snapshotBytes.clear();
    m_snapshotExists = false;
}

void OperateIni::openSettings(const QString &file)
{
    m_settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
    m_settings->setIniCodec(ini::utf8Codec());
}

// The toolkit keeps the first error it met for good, so that a later write could
// not be told apart: the file is opened afresh, with the changes not yet written.
void OperateIni::reopen()
{
    openSettings(m_path);
    for (const auto &[key, value] : m_unsaved) {
        if (value)
            m_settings->setValue(key, *value);
        else
            m_settings->remove(key);
    }
}

void OperateIni::writeChanges()
{
    if (m_settings->status() != QSettings::NoError)
        reopen();
    m_settings->sync();
    if (m_unsaved.empty())
        return;
    const bool saved = m_settings->status() != QSettings::AccessError;
    SettingsSaves::instance().report(m_path, saved);
    if (saved)
        m_unsaved.clear();
}

void OperateIni::setSetIniPath(const QString &path)
{
    release();
    qDebug() << "setSetIniPath:" << path;
    if (path != m_path)
        giveUpPending();
    m_path = path;
    ++m_generation;
    if (m_reader == Reader::Configurator) {
        SettingsChanges::instance().watch(path);
        reopen(); // the same file again keeps what could not be written yet
        return;
    }
    if (!m_snapshotDir)
        m_snapshotDir = std::make_unique<QTemporaryDir>(
            QDir::temp().filePath(snapshotFolderPrefix() + QStringLiteral("XXXXXX")));
    // The watch is in place before the first read, so no write after that read
    // goes unreported.
    const std::string file = QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString();
    m_watch = changeWatchFactory() ? changeWatchFactory()(file) : platform::watchFileChanges(file);
    // Parse an empty state first so that the object counts as bound even when the
    // file does not exist yet; the first read loads it.
    m_snapshotExists = true; // forces the comparison below to rebuild
    refreshSnapshot();
}

// The toolkit keeps one parsed copy per file path and re-reads the file only when
// its size or modification time changed; a rewrite of the same size within one
// time-stamp tick would go unseen. The agent therefore compares the file's bytes
// with those it parsed last and, when they differ, parses them from a private
// copy under a new name. The configurator replaces the file atomically, so the
// bytes read are always one whole version of it. (sync() skips all this while the
// file's change watch reports that nothing has touched the file.)
void OperateIni::refreshSnapshot()
{
    // This runs for every mouse event: read straight into a reused buffer.
    QFile file(m_path);
    const bool exists = file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    qint64 length = 0;
    if (exists) {
        for (;;) {
            if (m_readBuffer.size() - length < 1024)
                m_readBuffer.resize(int(length) + 4096);
            const qint64 n = file.read(m_readBuffer.data() + length, m_readBuffer.size() - length);
            if (n <= 0)
                break;
            length += n;
        }
    }
    if (m_settings && exists == m_snapshotExists && length == m_snapshotBytes.size() &&
        memcmp(m_readBuffer.constData(), m_snapshotBytes.constData(), size_t(length)) == 0)
        return;
    const QByteArray bytes(m_readBuffer.constData(), int(length));

    m_settings.reset();
    if (!m_snapshotFile.isEmpty())
        QFile::remove(m_snapshotFile);
    m_snapshotFile.clear();

    QString source = m_path; // falls back to the file itself when no copy can be made
    if (m_snapshotDir && m_snapshotDir->isValid()) {
        const QString copy =
            m_snapshotDir->filePath(QStringLiteral("%1.ini").arg(++m_snapshotSerial));
        QFile out(copy);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size()) {
            out.close();
            source = copy;
            m_snapshotFile = copy;
        }
    }
    openSettings(source);
    ++m_generation;
    m_snapshotBytes = bytes;
    m_snapshotExists = exists;
}

QString OperateIni::getValue(const QString &key)
{
    if (!m_settings)
        return kUnbound;
    QString value = m_settings->value(key, QStringLiteral("NULL")).toString();
    qCDebug(lcSettingsRead).noquote() << "getValue:" << key << loggable(key, value)
                                    << static_cast<const void *>(m_settings.get()) << m_path;
    if (m_reader == Reader::Agent && value == QLatin1String("NULL"))
        value = QStringLiteral("999");
    return value;
}

void OperateIni::setValue(const QString &key, const QString &value)
{
    qDebug().noquote() << "setValue:" << key << loggable(key, value)
                       << static_cast<const void *>(m_settings.get()) << m_path;
    if (m_settings) {
        m_settings->setValue(key, value);
        if (m_reader == Reader::Configurator)
            m_unsaved.emplace_back(key, value);
        ++m_generation;
    }
}

void OperateIni::sync()
{
    if (!m_settings)
        return;
    if (m_reader == Reader::Agent) {
        if (m_watch && m_watch->poll() == platform::FileChange::None)
            return; // nothing touched the file since its last read
        refreshSnapshot();
    } else {
        writeChanges();
        ++m_generation; // may have picked up another program's write
    }
}

void OperateIni::remove(const QString &key)
{
    qDebug().noquote() << "remove:" << key << m_path;
    if (m_settings) {
        m_settings->remove(key);
        if (m_reader == Reader::Configurator)
            m_unsaved.emplace_back(key, std::nullopt);
        ++m_generation;
    }
}

QStringList OperateIni::childKeys(const QString &group)
{
    if (!m_settings)
        return {};
    m_settings->beginGroup(group);
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    return keys;
}

QStringList OperateIni::childGroups()
{
    return m_settings ? m_settings->childGroups() : QStringList();
}
