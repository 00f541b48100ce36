// Key combinations: the text form read and written, what is refused, the keys a
// step holds, and where they are stored (read by today's readers as "None").
#include "agentconffile.h"
#include "appenv.h"
#include "keycombination.h"
#include "opfunconffile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using keycombination::Problem;

class TestKeyCombination : public QObject
{
    Q_OBJECT

private slots:
    void text_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written"); // with "Win"; "!<problem>" when refused
        QTest::newRow("plain") << "ctrl+shift+t" << "Ctrl+Shift+T";
        QTest::newRow("modifier order, blanks") << " Shift + Alt+Ctrl+ F5 " << "Ctrl+Alt+Shift+F5";
        QTest::newRow("sides") << "RCtrl+LShift+Left" << "RCtrl+LShift+Left";
        QTest::newRow("Super is Win") << "Super+E" << "Win+E";
        QTest::newRow("aliases") << "Escape, Ctrl+PgDn, Equal" << "Esc, Ctrl+PageDown, Plus";
        QTest::newRow("a key alone") << "F24" << "F24";
        QTest::newRow("sequence of 8") << "A,B,C,D,E,F,G,H" << "A, B, C, D, E, F, G, H";
        QTest::newRow("nine") << "A,B,C,D,E,F,G,H,I" << "!TooManySteps";
        QTest::newRow("empty") << "  " << "!Empty";
        QTest::newRow("too long") << QString(201, 'A') << "!TooLong";
        QTest::newRow("unknown") << "Ctrl+Hyper" << "!UnknownName";
        QTest::newRow("modifier alone") << "Ctrl+Shift" << "!NoKey";
        QTest::newRow("empty step") << "Ctrl+K, , Ctrl+C" << "!UnknownName";
        QTest::newRow("two keys") << "Ctrl+A+B" << "!TwoKeys";
    }
    void text()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        Problem problem = Problem::None;
        QString name;
        const auto combination = keycombination::parse(typed, &problem, &name);
        if (written.startsWith('!')) {
            QVERIFY(!combination);
            const char *names[] = {"None", "Empty", "TooLong", "TooManySteps", "UnknownName",
                                   "NoKey", "TwoKeys"};
            QCOMPARE(QString(names[int(problem)]), written.mid(1));
            QVERIFY(!keycombination::describe(problem, name).isEmpty());
            return;
        }
        QVERIFY(combination);
        QCOMPARE(keycombination::format(*combination, true), written);
        // Read back as written, and with this system's name for the Windows key.
        QCOMPARE(keycombination::parse(written), combination);
        QCOMPARE(keycombination::format(*combination, false), QString(written).replace("Win", "Super"));
    }

    // Modifiers go down in the written order, right-hand and navigation keys extended.
    void strokesOfAStep()
    {
        const auto combination = keycombination::parse("RCtrl+Shift+Win+Home");
        QVERIFY(combination);
        QStringList strokes;
        for (const keycombination::Stroke &s : keycombination::strokes(combination->first()))
            strokes << QString::number(s.virtualKey, 16) + (s.extended ? "e" : "");
        QCOMPARE(strokes, (QStringList{"a3e", "a0", "5be", "24e"}));
    }

    // Stored beside an entry that today's readers take as "None", in the selected set;
    // picking any other function takes it away again.
    void storedBehindNone()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("system");
        appenv::setApplicationDir(dir.path());
        appenv::setWindowsVersionClass("win8");
        OpFunConfFile conf;
        conf.SetCurrentMouse("QX210");
        QVERIFY(!conf.SetCombination("midKey", {"Ctrl+Hyper"}).isEmpty()); // refused: nothing written
        QCOMPARE(conf.SetCombination("midKey", {"ctrl+super+t"}), QString());
        QCOMPARE(conf.SetCombination("midWheel", {"Ctrl+Plus", "Ctrl+Minus"}), QString());
        const int set = conf.AddProgramSet("gimp", "");
        conf.selectSet(set);
        QCOMPARE(conf.SetCombination("rightKey", {"F5"}), QString());
        conf.selectSet(0);
        QSettings file(appenv::modelSettingsPath("QX210"), QSettings::IniFormat);
        QCOMPARE(file.value("SET/Mid_key").toString(), QString("Key combination-47-midKey"));
        QCOMPARE(file.value("SET/Mid_key_combination").toString(), QString("Ctrl+Win+T"));
        QCOMPARE(file.value("SET/Mid_wheel_combination_down").toString(), QString("Ctrl+Minus"));
        QCOMPARE(file.value("PROGRAM1/Right_key_combination").toString(), QString("F5"));

        agent::OpFunConfFile reader; // the agent, and today's readers: "None"
        QCOMPARE(reader.catalogueIndex(controls::MidKey), std::optional<int>(47));
        QCOMPARE(reader.combinations(controls::MidWheel, reader.catalogueIndex(controls::MidWheel)).size(), 2);
        QCOMPARE(reader.combinations(controls::RightKey, reader.catalogueIndex(controls::RightKey)).size(), 0);
        reader.setParameterSet(set);
        reader.hasProgramEntries(controls::RightKey);
        QCOMPARE(reader.combinations(controls::RightKey, reader.programIndex(set, controls::RightKey)).value(0),
                 keycombination::parse("F5"));

        // A stale combination behind another function counts for nothing.
        file.setValue("SET/Mid_wheel", "Stop-7-midWheel");
        file.sync();
        conf.syncMouseIni();
        QCOMPARE(conf.GetCombination("midWheel"), QStringList());
        conf.SetMidKeyVal("Copy-12-midKey");
        conf.syncIniToFile();
        file.sync();
        QVERIFY(!file.contains("SET/Mid_key_combination"));
        appenv::setApplicationDir(QString());
        appenv::setWindowsVersionClass(QString());
    }
};

QTEST_GUILESS_MAIN(TestKeyCombination)
#include "tst_keycombination.moc"
