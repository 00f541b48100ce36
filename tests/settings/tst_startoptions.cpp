// The start options both programs read, and what the configurator hands on to
// the agent.
#include "startoptions.h"

#include <QDir>
#include <QtTest>

class TestStartOptions : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after the program
        QTest::addColumn<QStringList>("agentArguments");
        QTest::addColumn<bool>("error");
        const QString effects = QDir::current().absoluteFilePath("e.txt");
        // As the configurator has always started the agent: one empty argument.
        QTest::newRow("none") << QStringList{""} << QStringList{""} << false;
        QTest::newRow("simulated, recorded")
            << QStringList{"--simulated-mouse", "--record-effects", "e.txt"}
            << QStringList{"--simulated-mouse", "--record-effects", effects} << false;
        // Recording would swallow the real mouse's effects.
        QTest::newRow("recorded without simulation")
            << QStringList{"--record-effects", "e.txt"} << QStringList{""} << true;
        QTest::newRow("quiet, at log-in") << QStringList{"--quiet", "--simulated-mouse"}
                                          << QStringList{"--simulated-mouse"} << false;
        QTest::newRow("help") << QStringList{"--help"} << QStringList{""} << false;
        QTest::newRow("help, short")
            << QStringList{"-h", "--simulated-mouse"} << QStringList{"--simulated-mouse"} << false;
        QTest::newRow("unknown option kept apart") << QStringList{"--bogus", "--simulated-mouse"}
                                                   << QStringList{"--simulated-mouse"} << true;
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, agentArguments);
        QFETCH(bool, error);
        const StartOptions options = parseStartOptions(QStringList{"program"} + arguments);
        QCOMPARE(options.agentArguments(), agentArguments);
        QCOMPARE(!options.error.isEmpty(), error);
        // The window's quiet start stays the configurator's own.
        QCOMPARE(options.quiet, arguments.contains("--quiet"));
        QCOMPARE(options.help, arguments.contains("--help") || arguments.contains("-h"));
    }
};

QTEST_MAIN(TestStartOptions)
#include "tst_startoptions.moc"
