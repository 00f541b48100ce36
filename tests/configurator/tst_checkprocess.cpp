// Keeping the agent running: the start from the application folder, restarts and
// their bound, the close request, the version class. Real agent processes where
// they matter, each from a folder of its own (one agent per user at a time).
#include "appenv.h"
#include "checkprocess.h"
#include "fakeservices.h"

#include <QtTest>

#include <utility>

// Everything `check` reports, in order: "state:<n>" and "version:<class>".
static void record(CheckProcess &check, QStringList &reports)
{
    QObject::connect(&check, &CheckProcess::sigServerState,
                     [&reports](int state) { reports << QStringLiteral("state:%1").arg(state); });
    QObject::connect(&check, &CheckProcess::sigCurrentSysVerison,
                     [&reports](const QString &v) { reports << "version:" + v; });
}

class TestCheckProcess : public QObject
{
    Q_OBJECT

    FakeServices fakes;
    ConfiguratorPlatform native = ConfiguratorPlatform::native();
    std::unique_ptr<QTemporaryDir> folder;
    bool realAgent = false;
    const QString agent = CheckProcess::agentFileName();
    const QString built = qEnvironmentVariable("VELKO_BIN_DIR") + '/' + agent;
    const QString version = "version:" + appenv::windowsVersionClass();

    // A fresh application folder, with the built agent as `agentName` when given.
    void makeFolder(const QString &agentName = QString())
    {
        folder = std::make_unique<QTemporaryDir>();
        realAgent = !agentName.isEmpty();
        if (realAgent)
            QFile::copy(built, folder->filePath(agentName));
        appenv::setApplicationDir(folder->path());
    }
    bool agentRuns() { return native.processes->isRunning(agent.toStdString()); }
    bool agentEnds()
    {
        return QTest::qWaitFor([this] { return !agentRuns(); }, 10000);
    }
    // Why real agents cannot be used, or the empty text.
    QString realAgentUnavailable()
    {
        if (!QFile::exists(built))
            return "the built agent is not there (VELKO_BIN_DIR)";
        // One agent per user: one another test left must go first.
        return QTest::qWaitFor([this] { return !agentRuns(); }, 15000)
                   ? QString()
                   : "another agent keeps running on this machine";
    }

private slots:
    void cleanup()
    {
        // An agent a failed test left behind is closed, or else killed.
        if (std::exchange(realAgent, false) && agentRuns()) {
            native.windows->requestClose(CheckProcess::kAgentWindowTitle, 5000);
            if (!agentEnds())
                native.processes->forceKill(agent.toStdString());
        }
        appenv::setApplicationDir(QString());
        folder.reset();
    }

    void missingExecutableGivesSevenThenTheVersion()
    {
        makeFolder();
        CheckProcess check(fakes.platform());
        QStringList reports;
        record(check, reports);
        LogCapture log;
        check.CheckTargetPro();
        QCOMPARE(reports, (QStringList{"state:7", version}));
        QVERIFY(log.contains(QStringLiteral("启动进程失败")));
        QVERIFY(log.contains("Get current system version "));
    }

    void closeToAHungAgentIsBounded()
    {
        fake::FakeMessageWindow agentWindow;
        QVERIFY(agentWindow.create("VelkoOptions"));
        agentWindow.setHung(true);
        CheckProcess check(fakes.platform());
        LogCapture log;
        check.CloseVelkoOptions();
        QCOMPARE(int(fakes.windows->requests.size()), 1);
        const auto &request = fakes.windows->requests[0];
        QCOMPARE(request.title, std::string("VelkoOptions"));
        QVERIFY(request.timeoutMs > 0 && request.timeoutMs <= 10000);
        QVERIFY(log.contains("did not answer the close request"));
    }

    void repeatedStartFailuresStopAfterTheBound()
    {
        // An agent file that exists but cannot be run.
        makeFolder();
        QFile file(folder->filePath(agent));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a program\n") > 0);
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        CheckProcess check(fakes.platform());
        QStringList reports;
        record(check, reports);
        LogCapture log;
        check.CheckTargetPro();
        QTRY_VERIFY(check.restartsGivenUp());
        // The first start and three restarts, then no more.
        const int failures = CheckProcess::kMaxFailedStarts + 1;
        QTest::qWait(200);
        QCOMPARE(reports.count("state:0"), failures);
        QCOMPARE(log.count("no further restart"), 1);
        // Asked again by the page, it tries afresh.
        check.CheckTargetPro();
        QTRY_COMPARE(reports.count("state:0"), 2 * failures);
    }

    void agentIsStartedRestartedAndClosed()
    {
        if (const QString why = realAgentUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        makeFolder(agent);
        {
            CheckProcess check(native);
            QStringList reports;
            record(check, reports);
            check.CheckTargetPro();
            // The version class at once; the start reports itself later.
            QTRY_COMPARE(reports, (QStringList{version, "state:6"}));
            QCOMPARE(check.agentProcess()->program(), folder->filePath(agent));
            QCOMPARE(check.agentProcess()->arguments(), QStringList{QString()});
            QTRY_VERIFY(agentRuns() && native.windows->exists("VelkoOptions"));

            // Killed, it is reported as crashed and started again.
            const qint64 first = check.agentProcess()->processId();
            QVERIFY(native.processes->forceKill(agent.toStdString()));
            QTRY_COMPARE(reports.count("state:6"), 2);
            QCOMPARE(reports.count("state:1"), 1);
            QVERIFY(check.agentProcess()->processId() != first);
            QTRY_VERIFY(agentRuns() && native.windows->exists("VelkoOptions"));

            // Closed when asked, it is not.
            check.CloseVelkoOptions();
            QVERIFY(agentEnds());
            QTest::qWait(200);
            QCOMPARE(reports.count("state:6"), 2);
            check.CheckTargetPro();
            QTRY_VERIFY(agentRuns() && native.windows->exists("VelkoOptions"));
        }
        // The agent outlives the object that started it.
        QTest::qWait(100);
        QVERIFY(agentRuns());
        CheckProcess closer(native);
        LogCapture log;
        closer.CloseVelkoOptions();
        QVERIFY(log.contains("closed"));
        QVERIFY(agentEnds());
        // Asked again with none running.
        closer.CloseVelkoOptions();
        QVERIFY(log.contains("no window"));
        QVERIFY(!log.contains("did not answer"));
    }

    void agentRunningUnderAnotherLetterCaseIsNotStartedAgain()
    {
        if (const QString why = realAgentUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        // Someone else's agent, run from another folder under a lower-case name.
        QTemporaryDir elsewhere;
        const QString lower = elsewhere.filePath(agent.toLower());
        QVERIFY(QFile::copy(built, lower));
        QProcess other;
        other.setProcessChannelMode(QProcess::ForwardedChannels);
        other.start(lower, QStringList());
        QTRY_VERIFY(agentRuns());

        makeFolder(agent);
        CheckProcess check(native);
        QStringList reports;
        record(check, reports);
        check.CheckTargetPro();
        QTest::qWait(200);
        QCOMPARE(reports, QStringList{version});
        QCOMPARE(check.agentProcess()->state(), QProcess::NotRunning);
        other.kill();
        other.waitForFinished(5000);
    }
};

QTEST_MAIN(TestCheckProcess)
#include "tst_checkprocess.moc"
