// The configurator's editing of program sets in the model file: the shared
// selection, adding, removing, "Same as all programs" and restoring defaults,
// checked in the file's own contents.
#include "appenv.h"
#include "opfunconffile.h"
#include "programsets.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestProgramSetEditing : public QObject
{
    Q_OBJECT

    // The model file as another reader sees it, section by section.
    static QMap<QString, QString> group(const QString &name)
    {
        QSettings file(appenv::modelSettingsPath("QX210"), QSettings::IniFormat);
        file.beginGroup(name);
        QMap<QString, QString> values;
        for (const QString &key : file.childKeys())
            values.insert(key, file.value(key).toString());
        return values;
    }
    // The same without the parameters a key's entry brought with their defaults.
    static QMap<QString, QString> assigned(const QString &name)
    {
        QMap<QString, QString> values = group(name);
        for (auto it = values.begin(); it != values.end();) {
            const bool speed = it.key().endsWith("_speed");
            if (it.key().contains('_') && it.key().at(0).isLower() &&
                it.value() == (speed ? "1" : "none"))
                it = values.erase(it);
            else
                ++it;
        }
        return values;
    }
    static QStringList groups()
    {
        return QSettings(appenv::modelSettingsPath("QX210"), QSettings::IniFormat).childGroups();
    }
    // Sets for the programs named, each with its middle key assigned.
    static void addSets(OpFunConfFile &conf, const QStringList &programs)
    {
        for (const QString &program : programs) {
            const int section = conf.AddProgramSet(program, QString());
            QVERIFY(section > 0);
            conf.selectSet(section);
            conf.SetMidKeyVal("Copy-12-midKey");
            conf.SetMidWebUrl("https://" + program);
        }
        conf.selectSet(0);
        conf.syncIniToFile();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(m_dir->path() + "/system"));
        appenv::setApplicationDir(m_dir->path());
        appenv::setWindowsVersionClass("win10");
        m_conf = std::make_unique<OpFunConfFile>();
        m_conf->SetCurrentMouse("QX210");
    }
    void cleanup()
    {
        m_conf.reset();
        appenv::setApplicationDir(QString());
        appenv::setWindowsVersionClass(QString());
        m_dir.reset();
    }

    void aSelectedSetIsEditedThroughEveryAccessor()
    {
        OpFunConfFile pageConf; // another page's accessor follows the same selection
        pageConf.syncMouseIni();
        QSignalSpy changed(&pageConf, &OpFunConfFile::selectedSetChanged);
        const int section = m_conf->AddProgramSet("gimp", "GNU Image Manipulation Program");
        QCOMPARE(section, 1);
        m_conf->selectSet(section);
        QCOMPARE(pageConf.selectedSet(), 1);
        QCOMPARE(changed.count(), 1);
        pageConf.SetSideUpkeyVal("Copy-12-slideUpKey");
        pageConf.SetSliderUpMainSpeed("7");
        pageConf.syncIniToFile();
        QCOMPARE(assigned("PROGRAM1"),
                 (QMap<QString, QString>{{"program", "gimp"},
                                         {"name", "GNU Image Manipulation Program"},
                                         {"Side_upkey", "Copy-12-slideUpKey"},
                                         {"slider_up_main_speed", "7"}}));
        QCOMPARE(group("SET").value("Side_upkey"), QString("none-48-slideUpKey"));
        QCOMPARE(group("PATH").value("slider_up_main_speed"), QString("1"));
        // Controls the set does not assign read as absent: "Same as all programs".
        QCOMPARE(m_conf->GetSideUpkeyVal(), QString(R"({"index":"12","name":"Copy","tag":"slideUpKey"})"));
        QCOMPARE(m_conf->GetMidKeyVal(), QString());
        QCOMPARE(group("PROGRAM1").size(), 2 + 1 + 7); // the key's parameters came along
        QCOMPARE(m_conf->GetSliderUpSelfSpeed(), QString("1"));
        QCOMPARE(m_conf->GetMidMainSpeed(), QString("NULL"));
        m_conf->selectSet(0);
        QCOMPARE(pageConf.GetSliderUpMainSpeed(), QString("1"));
        // A section that holds no set is not selected.
        m_conf->selectSet(2);
        QCOMPARE(pageConf.selectedSet(), 0);
    }

    void addingAProgram_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("section"); // the answer; 0: refused
        QTest::addColumn<int>("count");   // sets stored afterwards
        QTest::newRow("first") << QStringList() << "firefox" << 1 << 1;
        QTest::newRow("after others") << QStringList{"a", "b"} << "chrome.exe" << 3 << 3;
        QTest::newRow("already there, other case") << QStringList{"a", "Chrome.exe"} << "CHROME.EXE"
                                                    << 2 << 2;
        QTest::newRow("a path") << QStringList() << "/usr/bin/gimp" << 0 << 0;
        QTest::newRow("a control character") << QStringList() << "gimp\n" << 0 << 0;
        QStringList full;
        for (int i = 1; i <= programsets::kMaxSets; ++i)
            full << QString("p%1").arg(i);
        QTest::newRow("full") << full << "one-more" << 0 << programsets::kMaxSets;
    }
    void addingAProgram()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, program);
        QFETCH(int, section);
        QFETCH(int, count);
        addSets(*m_conf, stored);
        QCOMPARE(m_conf->AddProgramSet(program, ""), section);
        QCOMPARE(m_conf->programSets().size(), count);
        if (section > stored.size())
            QCOMPARE(group(QString("PROGRAM%1").arg(section)),
                     (QMap<QString, QString>{{"program", program}, {"name", program}}));
    }

    void removingRenumbersTheLaterSets()
    {
        addSets(*m_conf, {"a", "b", "c"});
        m_conf->selectSet(3);
        QVERIFY(m_conf->RemoveProgramSet(2));
        QCOMPARE(m_conf->selectedSet(), 2); // still "c"
        QCOMPARE(group("PROGRAMS").value("count"), QString("2"));
        QCOMPARE(assigned("PROGRAM2"), (QMap<QString, QString>{{"program", "c"},
                                                            {"name", "c"},
                                                            {"Mid_key", "Copy-12-midKey"},
                                                            {"mid_web_url", "https://c"}}));
        QVERIFY(!groups().contains("PROGRAM3"));
        QVERIFY(!m_conf->RemoveProgramSet(3));
        QVERIFY(m_conf->RemoveProgramSet(2)); // the selected one
        QCOMPARE(m_conf->selectedSet(), 0);
        QVERIFY(m_conf->RemoveProgramSet(1));
        QVERIFY(!groups().contains("PROGRAMS"));
        QVERIFY(!groups().contains("PROGRAM1"));
    }

    void sameAsAllProgramsAndRestoringDefaults()
    {
        addSets(*m_conf, {"a", "b"});
        m_conf->SetMidKeyVal("Paste-14-midKey");
        QVERIFY(!m_conf->SetSameAsAllPrograms("midKey")); // the default set has no such thing
        m_conf->selectSet(1);
        m_conf->SetRightKeyVal("Copy-12-rightKey");
        m_conf->SetMidWheelVal("Stop-8-midWheel");
        QVERIFY(m_conf->SetSameAsAllPrograms("midKey"));
        QCOMPARE(assigned("PROGRAM1"), (QMap<QString, QString>{{"program", "a"},
                                                            {"name", "a"},
                                                            {"Right_key", "Copy-12-rightKey"},
                                                            {"Mid_wheel", "Stop-8-midWheel"}}));
        QVERIFY(m_conf->SetSameAsAllPrograms("midWheel"));
        QVERIFY(!group("PROGRAM1").contains("Mid_wheel"));

        m_conf->RestoreSelectedSet();
        QCOMPARE(group("PROGRAM1"), (QMap<QString, QString>{{"program", "a"}, {"name", "a"}}));
        QCOMPARE(group("PROGRAM2").value("Mid_key"), QString("Copy-12-midKey"));
        QCOMPARE(group("SET").value("Mid_key"), QString("Paste-14-midKey"));

        m_conf->RestoreEverything();
        QCOMPARE(group("PROGRAM2"), (QMap<QString, QString>{{"program", "b"}, {"name", "b"}}));
        QCOMPARE(group("SET").value("Mid_key"), QString("none-48-midKey"));
        QCOMPARE(group("PROGRAMS").value("count"), QString("2"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<OpFunConfFile> m_conf;
};

QTEST_GUILESS_MAIN(TestProgramSetEditing)
#include "tst_programsetediting.moc"
