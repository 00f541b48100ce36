// velko-options' commands against a settings folder of their own: what they
// print (the JSON parsed), what they write, and their exit statuses.
#include "appenv.h"
#include "opfunconffile.h"
#include "settingscommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestCli : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_out, m_err;

    int run(const QStringList &arguments)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out), err(&m_err);
        return cli::run(arguments, out, err);
    }
    QString stored(const QString &key) const
    {
        return QSettings(appenv::modelSettingsPath("QX210"), QSettings::IniFormat)
            .value(key)
            .toString();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_dir->filePath("system"));
        appenv::setApplicationDir(m_dir->path());
        appenv::setWindowsVersionClass("win10");
        OpFunConfFile conf;
        conf.SetCurrentMouse("QX210"); // the model's defaults, as the model page writes them
        conf.AddProgramSet("gimp", "GIMP");
    }
    void cleanup()
    {
        appenv::setApplicationDir(QString());
        appenv::setWindowsVersionClass(QString());
    }

    void setThenShow()
    {
        QCOMPARE(run({"set", "right-key", "Open Web page", "--value", "https://example.com/a"}), 0);
        QCOMPARE(stored("SET/Right_key"), QString("Open Web page-1-rightKey"));
        QCOMPARE(stored("PATH/right_web_url"), QString("https://example.com/a"));
        QCOMPARE(run({"set", "midKey", "6", "--value", "7,9"}), 0);            // pointer speeds
        QCOMPARE(run({"set", "side-up-key", "copy", "--program", "GIMP"}), 0); // names without case
        QCOMPARE(run({"set", "side-down-key", "combination", "ctrl+shift+t"}), 0);
        QCOMPARE(run({"set", "side-wheel", "combination", "Ctrl+Plus", "Ctrl+Minus"}), 0);

        QCOMPARE(run({"show", "--json"}), 0);
        const QJsonObject shown = QJsonDocument::fromJson(m_out.toUtf8()).object();
        QCOMPARE(shown["model"].toString(), QString("QX210"));
        const QJsonArray controls = shown["controls"].toArray();
        QCOMPARE(controls.size(), 6);
        QCOMPARE(controls[1]["function"].toString(), QString("Open Web page"));
        QCOMPARE(controls[1]["parameters"]["value"].toString(), QString("https://example.com/a"));
        QCOMPARE(controls[0]["parameters"]["own speed"].toString(), QString("9"));
        QCOMPARE(controls[2]["function"].toString(), QString("None"));
        QCOMPARE(controls[3]["combination"].toString(), QString("Ctrl+Shift+T"));
        QCOMPARE(controls[5]["combination"]["down"].toString(), QString("Ctrl+Minus"));

        QCOMPARE(run({"show", "--program", "gimp", "--json"}), 0);
        const QJsonArray inSet = QJsonDocument::fromJson(m_out.toUtf8())["controls"].toArray();
        QCOMPARE(inSet[2]["function"].toString(), QString("Copy"));
        QCOMPARE(inSet[1]["function"].toString(), QString("Same as all programs"));
        QCOMPARE(inSet[1]["allPrograms"]["parameters"]["value"].toString(),
                 QString("https://example.com/a"));
        QCOMPARE(run({"show", "--program", "gimp"}), 0);
        QVERIFY2(
            m_out.contains("Same as all programs: Open Web page  value: https://example.com/a"),
            qPrintable(m_out));
        // A seven-key model shows no side wheel.
        QCOMPARE(run({"show", "--model", "QX330"}), 0);
        QVERIFY2(m_out.contains("side-down-key") && !m_out.contains("side-wheel"),
                 qPrintable(m_out));
    }

    void refusedAndBadUse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("no command") << QStringList{} << 2 << "usage:";
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << "usage:";
        QTest::newRow("unknown control") << QStringList{"set", "thumb", "Copy"} << 2 << "thumb";
        QTest::newRow("missing function") << QStringList{"set", "right-key"} << 2 << "usage:";
        QTest::newRow("unknown function") << QStringList{"set", "right-key", "Fly"} << 1 << "Fly";
        QTest::newRow("key function on a wheel")
            << QStringList{"set", "middle-wheel", "Copy"} << 1 << "middle-wheel";
        QTest::newRow("index past the list") << QStringList{"set", "right-key", "49"} << 1 << "49";
        QTest::newRow("value for a function without one")
            << QStringList{"set", "right-key", "Copy", "--value", "x"} << 1 << "--value";
        QTest::newRow("speed out of range")
            << QStringList{"set", "right-key", "Mouse speed", "--value", "21"} << 1 << "1 to 20";
        QTest::newRow("option without its value")
            << QStringList{"show", "--model"} << 2 << "--model";
        QTest::newRow("unknown model") << QStringList{"show", "--model", "QX999"} << 1 << "QX999";
        QTest::newRow("no such program") << QStringList{"show", "--program", "vim"} << 1 << "vim";
        QTest::newRow("unusable combination")
            << QStringList{"set", "right-key", "combination", "Ctrl+Hyper"} << 1 << "Hyper";
        QTest::newRow("one combination for a wheel")
            << QStringList{"set", "side-wheel", "combination", "Ctrl+Plus"} << 2 << "DOWN-KEYS";
        QTest::newRow("a side wheel the model lacks")
            << QStringList{"set", "side-wheel", "Volume control", "--model", "QX330"} << 1
            << "QX330 has no side-wheel";
        QTest::newRow("same outside a program set")
            << QStringList{"set", "right-key", "same"} << 1 << "--program";
        QTest::newRow("a set for no program's name")
            << QStringList{"programs", "add", "a/b"} << 1 << "file name";
        QTest::newRow("removing a set not there")
            << QStringList{"programs", "remove", "vim"} << 1 << "vim";
        QTest::newRow("import of no settings file")
            << QStringList{"import", "/nonexistent.json"} << 1 << "cannot be read";
    }
    void refusedAndBadUse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, says);
        const QString before = stored("SET/Right_key");
        QCOMPARE(run(arguments), status);
        QVERIFY2(m_err.contains(says), qPrintable(m_err));
        QCOMPARE(stored("SET/Right_key"), before);
    }

    // A model not yet chosen: the change goes to its file and outlasts choosing
    // the model, which fills a file not yet set up with the defaults.
    void programSetsThroughTheTool()
    {
        QCOMPARE(run({"programs", "add", "vim", "Vim"}), 0);
        QCOMPARE(run({"set", "right-key", "Copy", "--program", "vim"}), 0);
        QCOMPARE(stored("PROGRAM2/Right_key"), QString("Copy-12-rightKey"));
        QCOMPARE(run({"set", "right-key", "same", "--program", "vim"}), 0);
        QVERIFY(stored("PROGRAM2/Right_key").isEmpty());
        QCOMPARE(run({"programs", "remove", "GIMP"}), 0);
        QCOMPARE(run({"programs", "--json"}), 0);
        const QJsonArray sets = QJsonDocument::fromJson(m_out.toUtf8())["programs"].toArray();
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0]["name"].toString(), QString("Vim"));
    }

    void setInAModelNotYetChosen()
    {
        QCOMPARE(run({"set", "right-key", "Copy", "--model", "QX460"}), 0);
        OpFunConfFile().SetCurrentMouse("QX460");
        QCOMPARE(QSettings(appenv::modelSettingsPath("QX460"), QSettings::IniFormat)
                     .value("SET/Right_key").toString(),
                 QString("Copy-12-rightKey"));
        QCOMPARE(stored("SET/Right_key"), QString("none-48-rightKey"));
    }

    void aChangeTheDiskDidNotTakeIsRefused()
    {
        const QString file = appenv::modelSettingsPath("QX210");
        QVERIFY(QFile::remove(file) && QDir().mkdir(file)); // a folder holds its name
        QCOMPARE(run({"set", "right-key", "Copy"}), 1);
        QVERIFY2(m_err.contains("not saved"), qPrintable(m_err));
    }

    void exportAndImportThroughTheTool()
    {
        const QString file = m_dir->filePath("s.json");
        QCOMPARE(run({"export", file}), 0);
        QCOMPARE(run({"set", "right-key", "Copy"}), 0);
        QCOMPARE(run({"import", file}), 0);
        QCOMPARE(stored("SET/Right_key"), QString("none-48-rightKey"));
    }

    void functionsAsThePagesListThem()
    {
        QCOMPARE(run({"functions", "--json"}), 0);
        const QJsonObject lists = QJsonDocument::fromJson(m_out.toUtf8()).object();
        QCOMPARE(lists["keys"].toArray().size(), 49);
        QCOMPARE(lists["wheels"].toArray().size(), 10);
        QCOMPARE(lists["keys"][12]["function"].toString(), QString("Copy"));
        QCOMPARE(lists["wheels"][9]["function"].toString(), QString("None"));
        QCOMPARE(run({"--version"}), 0);
        QVERIFY(m_out.startsWith("velko-options "));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
