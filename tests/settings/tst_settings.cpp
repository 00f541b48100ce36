// The settings files as both programs read and write them.
#include "agentconffile.h"
#include "logcapture.h"
#include "appenv.h"
#include "controls.h"
#include "file_change.h"
#include "operateini.h"
#include "opfunconffile.h"
#include "settingschanges.h"
#include "settingssaves.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QDir().mkpath(systemDir());
        appenv::setApplicationDir(m_dir->path());
        appenv::setWindowsVersionClass(QStringLiteral("win10"));
    }
    void cleanup()
    {
        appenv::setWriteProbe({});
        appenv::setUserSettingsFolder(std::nullopt);
        appenv::setApplicationDir(QString());
        appenv::setWindowsVersionClass(QString());
        OperateIni::setChangeWatchFactory(nullptr);
        m_dir.reset();
    }

    void firstChoiceWritesDefaults_data()
    {
        QTest::addColumn<QString>("versionClass");
        QTest::addColumn<int>("keyIndex");
        QTest::addColumn<int>("wheelIndex");
        QTest::newRow("win10") << "win10" << 48 << 9;
        QTest::newRow("WIN8 in capitals") << "WIN8" << 47 << 8;
    }
    void firstChoiceWritesDefaults()
    {
        QFETCH(QString, versionClass);
        QFETCH(int, keyIndex);
        QFETCH(int, wheelIndex);
        appenv::setWindowsVersionClass(versionClass);
        {
            OpFunConfFile conf;
            conf.SetCurrentMouse(QStringLiteral("QX210"));
        }
        QSettings main(systemDir() + QStringLiteral("/mouse.ini"), QSettings::IniFormat);
        QCOMPARE(main.value(QStringLiteral("SET/mouse")).toString(), QStringLiteral("QX210"));

        QSettings model(systemDir() + QStringLiteral("/QX210.ini"), QSettings::IniFormat);
        for (const controls::Control &c : controls::kControls) {
            const int index = c.isWheel ? wheelIndex : keyIndex;
            QCOMPARE(model.value(controls::setKeyPath(c)).toString(),
                     QStringLiteral("none-%1-%2").arg(index).arg(QLatin1String(c.tag)));
        }
        int nones = 0, ones = 0;
        model.beginGroup(QStringLiteral("PATH"));
        const QStringList keys = model.childKeys();
        for (const QString &k : keys) {
            const QString v = model.value(k).toString();
            nones += v == QLatin1String("none");
            ones += v == QLatin1String("1") && k.endsWith(QLatin1String("_speed"));
        }
        model.endGroup();
        QCOMPARE(keys.size(), 28);
        QCOMPARE(nones, 20);
        QCOMPARE(ones, 8);
        QCOMPARE(model.value(QStringLiteral("SET/isConf")).toString(), QStringLiteral("Y"));
    }
    void choosingAgainKeepsAssignments()
    {
        OpFunConfFile conf;
        conf.SetCurrentMouse(QStringLiteral("PL40"));
        conf.SetMidKeyVal(QStringLiteral("Copy-12-midKey"));
        conf.SetMidWebUrl(QStringLiteral("https://example.org"));
        conf.syncIniToFile();
        conf.SetCurrentMouse(QStringLiteral("QX330"));
        conf.SetCurrentMouse(QStringLiteral("PL40"));
        QCOMPARE(conf.GetMidKeyVal(),
                 QStringLiteral("{\"index\":\"12\",\"name\":\"Copy\",\"tag\":\"midKey\"}"));
        QCOMPARE(conf.GetMidWebUrl(), QStringLiteral("https://example.org"));
        // The file deleted by hand while its model stays chosen: what is assigned
        // next outlasts choosing the model again, around it the defaults.
        QVERIFY(QFile::remove(systemDir() + QStringLiteral("/PL40.ini")));
        conf.SetCurrentMouse(QStringLiteral("QX330"));
        conf.pinModel(QStringLiteral("PL40"));
        conf.SetRightKeyVal(QStringLiteral("Paste-14-rightKey"));
        conf.syncIniToFile();
        conf.pinModel(QString());
        conf.SetCurrentMouse(QStringLiteral("PL40"));
        QCOMPARE(conf.GetRightKeyVal(),
                 QStringLiteral("{\"index\":\"14\",\"name\":\"Paste\",\"tag\":\"rightKey\"}"));
        QCOMPARE(conf.GetMidKeyVal(),
                 QStringLiteral("{\"index\":\"48\",\"name\":\"none\",\"tag\":\"midKey\"}"));
    }
    // A write the disk does not take (a folder holds the file's name) is reported
    // once; the pages keep showing the change, and the first write that can be
    // made carries it, with the changes made meanwhile.
    void aFailedWriteIsReportedAndMadeLater()
    {
        OpFunConfFile conf;
        conf.SetCurrentMouse(QStringLiteral("PL40"));
        const QString file = systemDir() + QStringLiteral("/PL40.ini");
        QVERIFY(block(file));
        QSignalSpy failed(&SettingsSaves::instance(), &SettingsSaves::saveFailed);
        conf.SetMidKeyVal(QStringLiteral("Copy-12-midKey"));
        conf.syncIniToFile();
        conf.syncMouseIni(); // bound to the same file again
        conf.SetRightKeyVal(QStringLiteral("Paste-14-rightKey"));
        conf.syncIniToFile();
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), QDir::toNativeSeparators(file));
        QVERIFY(!conf.allSaved());
        QCOMPARE(conf.GetMidKeyVal(),
                 QStringLiteral("{\"index\":\"12\",\"name\":\"Copy\",\"tag\":\"midKey\"}"));

        QVERIFY(unblock(file));
        conf.SetSideWheel(QStringLiteral("Zoom In-43-slideWheel"));
        conf.syncIniToFile();
        QVERIFY(conf.allSaved());
        QVERIFY(SettingsSaves::instance().failingFiles().isEmpty());
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        for (const char *entry : {"Copy-12-midKey", "Paste-14-rightKey", "Zoom In-43-slideWheel"})
            QVERIFY2(text.contains(entry), entry);
    }
    // Changes given up when the object moves to another model's file leave the
    // file unlisted: a new failure there is reported again, not taken as known.
    void aFailureAfterChangesWereGivenUpIsReportedAgain()
    {
        OpFunConfFile conf;
        conf.SetCurrentMouse(QStringLiteral("PL40"));
        const QString file = systemDir() + QStringLiteral("/PL40.ini");
        QVERIFY(block(file));
        QSignalSpy failed(&SettingsSaves::instance(), &SettingsSaves::saveFailed);
        conf.SetMidKeyVal(QStringLiteral("Copy-12-midKey"));
        conf.syncIniToFile();
        conf.SetCurrentMouse(QStringLiteral("QX330"));
        conf.SetCurrentMouse(QStringLiteral("PL40"));
        conf.SetMidKeyVal(QStringLiteral("Paste-14-midKey"));
        conf.syncIniToFile();
        QCOMPARE(failed.count(), 2);
        QVERIFY(unblock(file));
    }
    // Two objects on one file: once the other has written the file, this one's
    // pending changes are saved too (the toolkit shares the file between them),
    // and a later write here does not bring its older values back.
    void aWriteByAnotherObjectSavesThePendingChanges()
    {
        OpFunConfFile pages, other;
        pages.SetCurrentMouse(QStringLiteral("PL40"));
        other.syncMouseIni();
        const QString file = systemDir() + QStringLiteral("/PL40.ini");
        QVERIFY(block(file));
        pages.SetMidKeyVal(QStringLiteral("Copy-12-midKey"));
        pages.syncIniToFile();
        QVERIFY(unblock(file));
        other.SetMidKeyVal(QStringLiteral("Paste-14-midKey"));
        other.syncIniToFile();
        QVERIFY(pages.allSaved());
        pages.SetRightKeyVal(QStringLiteral("Zoom In-39-rightKey"));
        pages.syncIniToFile();
        QSettings written(file, QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("SET/Mid_key")).toString(),
                 QStringLiteral("Paste-14-midKey"));
        QCOMPARE(written.value(QStringLiteral("SET/Right_key")).toString(),
                 QStringLiteral("Zoom In-39-rightKey"));
    }
    // The window follows another program's change of its files, and never its own.
    void onlyAnotherProgramsWritesCountAsChanges()
    {
        SettingsChanges &changes = SettingsChanges::instance();
        changes.setEnabled(true, 60000); // polled by hand below
        QSignalSpy heard(&changes, &SettingsChanges::changedElsewhere);
        OpFunConfFile pages;
        pages.SetCurrentMouse(QStringLiteral("PL40"));
        pages.SetMidKeyVal(QStringLiteral("Copy-12-midKey"));
        pages.syncIniToFile();
        changes.poll();
        QCOMPARE(heard.count(), 0);

        const QString file = systemDir() + QStringLiteral("/PL40.ini");
        QFile::copy(file, file + QStringLiteral(".before"));
        {
            QSettings other(file, QSettings::IniFormat);
            other.setValue(QStringLiteral("SET/Mid_key"), QStringLiteral("Paste-14-midKey"));
        }
        changes.poll();
        changes.poll();
        QCOMPARE(heard.count(), 1);
        QCOMPARE(pages.GetMidKeyVal(),
                 QStringLiteral(R"({"index":"14","name":"Paste","tag":"midKey"})"));

        QFile::remove(file);
        QFile::copy(file + QStringLiteral(".before"), file);
        changes.poll();
        QCOMPARE(heard.count(), 2);
        changes.setEnabled(false);
    }
    void setterAndGetterPairsUseTheSameKey()
    {
        OpFunConfFile conf;
        conf.SetCurrentMouse(QStringLiteral("QX210"));
        const QStringList prefixes{"Mid/mid", "Right/right", "SliderUp/slider_up", "SliderDown/slider_down"};
        const QStringList params{"WebUrl/WebUrl/_web_url",       "FilePath/FilePath/_file_path",
                                 "FolderPath/FloderPath/_folder_path", "AppPath/AppPath/_app_path",
                                 "SoundPath/SoundPath/_sound_path", "MainSpeed/MainSpeed/_main_speed",
                                 "SelfSpeed/SelfSpeed/_self_speed"};
        QMap<QString, QString> written;
        for (const QString &prefix : prefixes) {
            for (const QString &param : params) {
                const QStringList p = prefix.split('/'), q = param.split('/');
                const QString value = QStringLiteral("v%1").arg(written.size());
                QVERIFY(QMetaObject::invokeMethod(&conf, qPrintable("Set" + p[0] + q[0]),
                                                  Q_ARG(QString, value)));
                QString got;
                QVERIFY(QMetaObject::invokeMethod(&conf, qPrintable("Get" + p[0] + q[1]),
                                                  Q_RETURN_ARG(QString, got)));
                QCOMPARE(got, value);
                written.insert("PATH/" + p[1] + q[2], value);
            }
        }
        conf.syncIniToFile();
        QSettings model(systemDir() + QStringLiteral("/QX210.ini"), QSettings::IniFormat);
        for (auto it = written.cbegin(); it != written.cend(); ++it)
            QCOMPARE(model.value(it.key()).toString(), it.value());
    }
    void missingValuesPerReader()
    {
        writeRaw(QStringLiteral("x.ini"), "[SET]\nstored=NULL\nnull=null\n");
        OperateIni configurator(OperateIni::Reader::Configurator);
        OperateIni agentReader(OperateIni::Reader::Agent);
        QCOMPARE(configurator.getValue(QStringLiteral("/SET/a")), QStringLiteral("key error or unInit obj"));
        QCOMPARE(agentReader.getValue(QStringLiteral("/SET/a")), QStringLiteral("key error or unInit obj"));
        configurator.setSetIniPath(systemDir() + QStringLiteral("/x.ini"));
        agentReader.setSetIniPath(systemDir() + QStringLiteral("/x.ini"));
        QCOMPARE(configurator.getValue(QStringLiteral("/SET/absent")), QStringLiteral("NULL"));
        QCOMPARE(agentReader.getValue(QStringLiteral("/SET/absent")), QStringLiteral("999"));
        QCOMPARE(agentReader.getValue(QStringLiteral("/SET/stored")), QStringLiteral("999"));
        QCOMPARE(agentReader.getValue(QStringLiteral("/SET/null")), QStringLiteral("null"));
    }
    void agentIndexParsing_data()
    {
        QTest::addColumn<QByteArray>("entry"); // empty: key absent
        QTest::addColumn<int>("index");        // -1: unassigned
        QTest::newRow("twelve") << QByteArray("Copy-12-midKey") << 12;
        QTest::newRow("absent") << QByteArray() << -1;
        QTest::newRow("stored NULL") << QByteArray("NULL") << -1;
        QTest::newRow("None") << QByteArray("none-48-midKey") << 48;
        // Whatever cannot be used reads as "None", as the pages and the sync read it.
        QTest::newRow("two parts") << QByteArray("Copy-7") << 48;
        QTest::newRow("sign") << QByteArray("x-+5-midKey") << 48;
        QTest::newRow("past None") << QByteArray("x-49-midKey") << 48;
        QTest::newRow("too large for an int") << QByteArray("x-9999999999-midKey") << 48;
    }
    void agentIndexParsing()
    {
        QFETCH(QByteArray, entry);
        QFETCH(int, index);
        writeRaw(QStringLiteral("mouse.ini"), "[SET]\nmouse=PL60\n");
        QByteArray ini = "[SET]\n";
        if (!entry.isEmpty())
            ini += "Mid_key=" + entry + "\n";
        writeRaw(QStringLiteral("PL60.ini"), ini);
        LogCapture log;
        agent::OpFunConfFile reader;
        for (int event = 0; event < 3; ++event) {
            const std::optional<int> got = reader.catalogueIndex(controls::MidKey);
            QCOMPARE(got.has_value() ? *got : -1, index);
        }
        // An unusable entry is logged once, not at every event.
        const bool usable = entry.isEmpty() || entry == "NULL" || entry.contains("-48-") ||
                            entry == "Copy-12-midKey";
        QCOMPARE(log.lines().filter(QStringLiteral("unusable entry")).size(), usable ? 0 : 1);
    }
    void agentFollowsModelChange()
    {
        writeRaw(QStringLiteral("mouse.ini"), "[SET]\nmouse=QX210\n");
        writeRaw(QStringLiteral("QX210.ini"), "[SET]\nRight_key=Copy-12-rightKey\n");
        writeRaw(QStringLiteral("QX330.ini"), "[SET]\nisConf=Y\nRight_key=Paste-14-rightKey\n");
        agent::OpFunConfFile reader;
        QCOMPARE(reader.catalogueIndex(controls::RightKey).value_or(-1), 12);

        OpFunConfFile configurator;
        configurator.SetCurrentMouse(QStringLiteral("QX330"));
        QCOMPARE(reader.catalogueIndex(controls::RightKey).value_or(-1), 14);
        QCOMPARE(reader.boundModel(), QStringLiteral("QX330"));
    }
    void agentWithoutModelReadsUnassigned_data()
    {
        QTest::addColumn<QByteArray>("mainFile"); // empty: none
        QTest::newRow("no main file") << QByteArray();
        // A model name that is no plain file name is no model (and names no file
        // outside the settings folder).
        QTest::newRow("path as model") << QByteArray("[SET]\nmouse=../QX210\n");
    }
    void agentWithoutModelReadsUnassigned()
    {
        QFETCH(QByteArray, mainFile);
        if (!mainFile.isEmpty()) {
            writeRaw(QStringLiteral("mouse.ini"), mainFile);
            writeRaw(QStringLiteral("../QX210.ini"), "[SET]\nMid_key=Copy-12-midKey\n");
        }
        OpFunConfFile configurator;
        QCOMPARE(configurator.GetCurrentMouse(), QStringLiteral("NULL"));
        agent::OpFunConfFile reader;
        QCOMPARE(reader.currentMouse(), QStringLiteral("999"));
        QVERIFY(reader.boundModel() == QStringLiteral("999"));
        for (const controls::Control &c : controls::kControls)
            QVERIFY(!reader.catalogueIndex(c.number).has_value());
        QCOMPARE(reader.pathValue(QStringLiteral("mid"), QStringLiteral("_web_url")), QStringLiteral("999"));
    }
    // A write by the other program must be seen by the agent at its next read, also
    // one that keeps the file's size and time stamp, and one that leaves a prefix
    // of the old bytes or adds to them: through the system's change watch and
    // through the byte compare alone (where no watch can be trusted). Written as
    // raw bytes: a writer in this process would share the toolkit's cached copy.
    void agentSeesEveryRewrite_data()
    {
        QTest::addColumn<bool>("watched");
        QTest::addColumn<QStringList>("versions"); // Mid_key entries written in turn
        const QStringList sameSize{"Copy-10-midKey", "Copy-13-midKey"};
        const QStringList prefixAndLonger{"Copy-1-midKey", "Copy-12-midKey"};
        for (bool watched : {true, false}) {
            const char *how = watched ? "change watch" : "byte compare";
            QTest::addRow("same size, %s", how) << watched << sameSize;
            QTest::addRow("prefix and longer, %s", how) << watched << prefixAndLonger;
        }
    }
    void agentSeesEveryRewrite()
    {
        QFETCH(bool, watched);
        QFETCH(QStringList, versions);
        if (!watched)
            OperateIni::setChangeWatchFactory(
                [](const std::string &) -> std::unique_ptr<platform::FileChangeWatch> {
                    return std::make_unique<platform::AlwaysPossibleWatch>();
                });
        writeRaw(QStringLiteral("mouse.ini"), "[SET]\nmouse=QX210\n");
        writeRaw(QStringLiteral("QX210.ini"), "[SET]\nMid_key=Copy-12-midKey\n");
        const QString file = systemDir() + QStringLiteral("/QX210.ini");
        const QDateTime stamp = QFileInfo(file).lastModified();

        agent::OpFunConfFile reader;
        QCOMPARE(reader.catalogueIndex(controls::MidKey).value_or(-1), 12);
        for (int round = 0; round < 20; ++round) {
            const QString entry = versions.at(round % versions.size());
            writeRaw(QStringLiteral("QX210.ini"), ("[SET]\nMid_key=" + entry).toUtf8());
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
            f.close();
            QCOMPARE(QFileInfo(file).lastModified(), stamp);
            QCOMPARE(reader.catalogueIndex(controls::MidKey).value_or(-1),
                     entry.section(QLatin1Char('-'), 1, 1).toInt());
        }
    }
    void utf8ValuesRoundTrip()
    {
        OpFunConfFile conf;
        conf.SetCurrentMouse(QStringLiteral("QX210"));
        // Also characters outside the Basic Multilingual Plane (an emoji, a CJK
        // character of plane 2), which take two UTF-16 units.
        const QString url = QStringLiteral("https://例子.测试/路径?q=\"a\";b=c&e=a😀b𠀀");
        conf.SetSliderUpWebUrl(url);
        conf.SetSideUpkeyVal(QStringLiteral("打开网页-1-slideUpKey"));
        conf.syncIniToFile();
        agent::OpFunConfFile reader;
        QCOMPARE(reader.pathValue(QStringLiteral("slider_up"), QStringLiteral("_web_url")), url);
        QCOMPARE(reader.catalogueIndex(controls::SideUpKey).value_or(-1), 1);
        // Stored as plain UTF-8, as any INI reader expects.
        QFile file(appenv::modelSettingsPath(QStringLiteral("QX210")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("a\xF0\x9F\x98\x80" "b\xF0\xA0\x80\x80"));
    }
    // Which "system" folder both programs use: beside them where it can be written,
    // else the user's folder, with the files found beside them copied, not moved.
    void settingsFolder_data()
    {
        QTest::addColumn<bool>("besideExists");
        QTest::addColumn<bool>("besideWritable");
        QTest::addColumn<bool>("programDirWritable");
        QTest::addColumn<bool>("userFolderKnown");
        QTest::addColumn<bool>("expectUserFolder");
        QTest::newRow("portable folder") << true << true << true << true << false;
        QTest::newRow("installed under /usr") << false << false << false << true << true;
        QTest::newRow("read-only system folder") << true << false << false << true << true;
        QTest::newRow("read-only, no user folder") << true << false << false << false << false;
    }
    void settingsFolder()
    {
        QFETCH(bool, besideExists);
        QFETCH(bool, besideWritable);
        QFETCH(bool, programDirWritable);
        QFETCH(bool, userFolderKnown);
        QFETCH(bool, expectUserFolder);
        const QString programDir = m_dir->path() + QStringLiteral("/programs");
        const QString beside = programDir + QStringLiteral("/system");
        const QString user = m_dir->path() + QStringLiteral("/config/velko-options");
        QDir().mkpath(programDir);
        const QByteArray earlier("[SET]\nmouse=PL40\n");
        if (besideExists) {
            QDir().mkpath(beside);
            QFile f(beside + QStringLiteral("/mouse.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(earlier);
        }
        appenv::setApplicationDir(programDir);
        appenv::setUserSettingsFolder(userFolderKnown ? user : QString());
        appenv::setWriteProbe([&](const QString &dir) {
            return dir == beside ? besideWritable : dir == programDir && programDirWritable;
        });

        const QString expected = expectUserFolder ? user + QStringLiteral("/system") : beside;
        QCOMPARE(appenv::settingsDir(), expected);
        OpFunConfFile conf;
        // Settings found beside the programs are still the user's.
        QCOMPARE(conf.GetCurrentMouse(), besideExists ? QStringLiteral("PL40") : QStringLiteral("NULL"));
        conf.SetCurrentMouse(QStringLiteral("QX210"));
        agent::OpFunConfFile reader;
        QCOMPARE(reader.currentMouse(), QStringLiteral("QX210"));
        QVERIFY(QFileInfo::exists(expected + QStringLiteral("/QX210.ini")));
        if (expectUserFolder && besideExists) {
            QFile f(beside + QStringLiteral("/mouse.ini"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), earlier);
        }
    }

    void versionClass_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("expected");
        for (const char *row : {"windows 8.1 win8", "windows 10 win10", "debian 12 win7"}) {
            const QStringList f = QString(row).split(' ');
            QTest::newRow(row) << f[0] << f[1] << f[2];
        }
    }
    void versionClass()
    {
        QFETCH(QString, type);
        QFETCH(QString, version);
        QFETCH(QString, expected);
        QCOMPARE(appenv::versionClassFor(type, version), expected);
    }

private:
    QString systemDir() const { return m_dir->path() + QStringLiteral("/system"); }
    // A folder takes the file's name, so that no write can replace it (root too).
    static bool block(const QString &file)
    {
        return QFile::rename(file, file + QStringLiteral(".kept")) && QDir().mkdir(file);
    }
    static bool unblock(const QString &file)
    {
        return QDir().rmdir(file) && QFile::rename(file + QStringLiteral(".kept"), file);
    }
    void writeRaw(const QString &file, const QByteArray &content)
    {
        QFile f(systemDir() + QLatin1Char('/') + file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(content), qint64(content.size()));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
