#include "appenv.h"
#include "checkprocess.h"
#include "fakeservices.h"

#include <QtTest>

#include <utility>

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

    void makeFolder(const QString &agentName = QString())
    {
        folder = std::make_unique<QTemporaryDir>();
        realAgent = !agentName.isEmpty();
        if (realAgent)
            QFile::copy(built, folder->filePath(agentName));
        appenv::setApplicationDir(folder->path());
    }
    bool agentRuns() { return native.processes->isRunning(agent.toStdString()); }
    bool agentEnds(int ms = 10000)
    {
        return QTest::qWaitFor([this] { return !agentRuns(); }, ms);
    }
    QString realAgentUnavailable() // one agent per user: one another test left must go first
    {
        if (!QFile::exists(built))
            return "the built agent is not there (VELKO_BIN_DIR)";
        return agentEnds(15000) ? QString() : "another agent keeps running on this machine";
    }

private slots:
    void cleanup()
    {
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

    // An agent found running, which ends soon after (it was just asked to close), is
    // followed by one of this configurator's.
    void anAgentEndingAtTheStartIsFollowedByOne()
    {
        makeFolder();
        fakes.processes->addProcess(agent.toStdString());
        CheckProcess check(fakes.platform());
        QStringList reports;
        record(check, reports);
        check.CheckTargetPro();
        QTest::qWait(2 * CheckProcess::kEndingLookMs);
        QCOMPARE(reports, QStringList{version});
        fakes.processes->removeProcess(agent.toStdString());
        QTRY_COMPARE(reports, (QStringList{version, "state:7"}));
    }

    void repeatedStartFailuresStopAfterTheBound()
    {
        makeFolder(); // with an agent file that cannot be run
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
        const int failures = CheckProcess::kMaxFailedStarts + 1; // the first start and the restarts
        QTest::qWait(200);
        QCOMPARE(reports.count("state:0"), failures);
        QCOMPARE(log.count("no further restart"), 1);
        check.CheckTargetPro(); // asked again by the page, it tries afresh
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
            // Windows reports the start from inside QProcess::start(), before the version.
            const auto sorted = [](QStringList list) {
                list.sort();
                return list;
            };
            QTRY_COMPARE(sorted(reports), sorted({version, "state:6"}));
            QCOMPARE(check.agentProcess()->program(), folder->filePath(agent));
            QCOMPARE(check.agentProcess()->arguments(), QStringList{QString()});
            QTRY_VERIFY(agentRuns() && native.windows->exists("VelkoOptions"));
            // Killed, it is reported as crashed and started again.
            const qint64 first = check.agentProcess()->processId();
            // Through its process object, which both systems report as a crash
            // (Windows reports an end by taskkill as an ordinary exit with code 1).
            check.agentProcess()->kill();
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
        QTest::qWait(100); // the agent outlives the object that started it
        QVERIFY(agentRuns());
        CheckProcess closer(native);
        LogCapture log;
        closer.CloseVelkoOptions();
        QVERIFY(log.contains("closed"));
        QVERIFY(agentEnds());
        closer.CloseVelkoOptions();
        QVERIFY(log.contains("no window"));
        QVERIFY(!log.contains("did not answer"));
    }

};

QTEST_MAIN(TestCheckProcess)
#include "tst_checkprocess.moc"
