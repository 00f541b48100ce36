// Keeping the agent running: the start from the application folder, the state
// channel, restarts and their bound, the close request, the version class. The
// first group runs against the fake process table; the second against real
// agent processes, each from a folder of its own (one agent per user at a time).
#include "appenv.h"
#include "checkprocess.h"
#include "fakeservices.h"

#include <QtTest>

namespace {

QString builtAgent()
{
    return qEnvironmentVariable("VELKO_BIN_DIR") + QLatin1Char('/') + CheckProcess::agentFileName();
}

// Everything the object reports, in order: "state:<n>" and "version:<class>".
struct Reports
{
    QStringList items;
    void attach(CheckProcess &check)
    {
        QObject::connect(&check, &CheckProcess::sigServerState,
                         [this](int state) { items << QStringLiteral("state:%1").arg(state); });
        QObject::connect(&check, &CheckProcess::sigCurrentSysVerison,
                         [this](const QString &v) { items << QStringLiteral("version:") + v; });
    }
    int count(const QString &item) const { return items.count(item); }
};

bool waitFor(const std::function<bool()> &condition, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

} // namespace

class TestCheckProcess : public QObject
{
    Q_OBJECT

private:
    FakeServices fakes;
    ConfiguratorPlatform native = ConfiguratorPlatform::native();
    std::unique_ptr<QTemporaryDir> folder;

    // A fresh application folder, with the built agent under `agentName` when set.
    QString makeFolder(const QString &agentName = QString())
    {
        folder = std::make_unique<QTemporaryDir>();
        if (!agentName.isEmpty())
            QFile::copy(builtAgent(), folder->filePath(agentName));
        appenv::setApplicationDir(folder->path());
        return folder->path();
    }

    bool agentRuns()
    {
        return native.processes->isRunning(CheckProcess::agentFileName().toStdString());
    }

    // Why real agents cannot be used here, or the empty text.
    QString realAgentUnavailable()
    {
        if (!QFile::exists(builtAgent()))
            return QStringLiteral("the built agent is not there (VELKO_BIN_DIR)");
        // One agent per user: wait for one that another test left to go away.
        if (!waitFor([this] { return !agentRuns(); }, 15000))
            return QStringLiteral("another agent keeps running on this machine");
        return QString();
    }

    // Closes every agent through its window; a hung or deaf one is killed.
    void stopAgents()
    {
        // A freshly started agent may not have its window yet.
        waitFor([this] { return native.windows->exists(CheckProcess::kAgentWindowTitle); }, 5000);
        native.windows->requestClose(CheckProcess::kAgentWindowTitle, 5000);
        if (!waitFor([this] { return !agentRuns(); }, 5000))
            native.processes->forceKill(CheckProcess::agentFileName().toStdString());
        waitFor([this] { return !agentRuns(); }, 5000);
    }

private slots:
    void cleanup()
    {
        appenv::setApplicationDir(QString());
        appenv::setWindowsVersionClass(QString());
        folder.reset();
    }

    // --- against the fake process table ---

    void missingExecutableGivesSevenThenTheVersion()
    {
        makeFolder();
        appenv::setWindowsVersionClass(QStringLiteral("win10"));
        CheckProcess check(fakes.platform());
        Reports reports;
        reports.attach(check);
        LogCapture log;
        check.CheckTargetPro();
        QCOMPARE(reports.items, (QStringList{"state:7", "version:win10"}));
        QVERIFY(log.contains(QStringLiteral("启动进程失败")));
        QVERIFY(log.contains(QStringLiteral("Get current system version ")));
        QCOMPARE(check.agentProcess()->state(), QProcess::NotRunning);
    }

    void runningAgentIsLeftAlone_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<bool>("started");
        const QString exact = CheckProcess::agentFileName();
        QTest::newRow("exact name") << exact << false;
        QTest::newRow("lower case") << exact.toLower() << false;
        QTest::newRow("upper case") << exact.toUpper() << false;
        QTest::newRow("longer name") << exact + QStringLiteral("GUI") << true;
        QTest::newRow("nothing running") << QString() << true;
    }
    void runningAgentIsLeftAlone()
    {
        QFETCH(QString, running);
        QFETCH(bool, started);
        makeFolder(); // no agent here: a start shows as state 7
        auto processes = std::make_shared<platform::fake::FakeProcessTable>();
        if (!running.isEmpty())
            processes->addProcess(running.toStdString());
        ConfiguratorPlatform services = fakes.platform();
        services.processes = processes;
        CheckProcess check(services);
        Reports reports;
        reports.attach(check);
        check.CheckTargetPro();
        QCOMPARE(reports.count("state:7"), started ? 1 : 0);
        QCOMPARE(reports.items.last(), QStringLiteral("version:") + appenv::windowsVersionClass());
    }

    void thisSystemIsWin7UnlessWindows8Or10()
    {
        const QString expected =
            appenv::versionClassFor(QSysInfo::productType(), QSysInfo::productVersion());
        CheckProcess check(fakes.platform());
        QSignalSpy spy(&check, &CheckProcess::sigCurrentSysVerison);
        makeFolder();
        check.CheckTargetPro();
        QCOMPARE(spy.at(0).at(0).toString(), expected);
        if (QSysInfo::productType() != QLatin1String("windows"))
            QCOMPARE(expected, QStringLiteral("win7"));
    }

    void closeGoesToTheAgentWindowWithABoundedWait()
    {
        platform::fake::FakeMessageWindow agentWindow;
        QVERIFY(agentWindow.create("VelkoOptions"));
        platform::fake::FakeMessageWindow guiWindow;
        QVERIFY(guiWindow.create("VelkoOptionsGUI"));
        int agentCloses = 0, guiCloses = 0;
        agentWindow.setCloseHandler([&] { ++agentCloses; });
        guiWindow.setCloseHandler([&] { ++guiCloses; });

        CheckProcess check(fakes.platform());
        fakes.windows->requests.clear();
        check.CloseVelkoOptions();
        QCOMPARE(agentCloses, 1);
        QCOMPARE(guiCloses, 0);
        QCOMPARE(int(fakes.windows->requests.size()), 1);
        QCOMPARE(fakes.windows->requests[0].title, std::string("VelkoOptions"));
        QVERIFY(fakes.windows->requests[0].timeoutMs > 0);
        QVERIFY(fakes.windows->requests[0].timeoutMs <= 10000);
    }

    void closeToAHungAgentIsGivenUpAndLogged()
    {
        platform::fake::FakeMessageWindow agentWindow;
        QVERIFY(agentWindow.create("VelkoOptions"));
        agentWindow.setHung(true);
        CheckProcess check(fakes.platform());
        LogCapture log;
        check.CloseVelkoOptions();
        QVERIFY(log.contains(QStringLiteral("did not answer the close request")));
    }

    void closeWithoutAgentChangesNothing()
    {
        CheckProcess check(fakes.platform());
        Reports reports;
        reports.attach(check);
        LogCapture log;
        check.CloseVelkoOptions();
        QVERIFY(log.contains(QStringLiteral("关闭驱动")));
        QVERIFY(!log.contains(QStringLiteral("did not answer")));
        QVERIFY(reports.items.isEmpty());
    }

    void timerDoneKillsAndStartsOnlyWithoutAgent()
    {
        makeFolder();
        auto processes = std::make_shared<platform::fake::FakeProcessTable>();
        ConfiguratorPlatform services = fakes.platform();
        services.processes = processes;
        CheckProcess check(services);
        Reports reports;
        reports.attach(check);
        check.timerDone();
        QCOMPARE(processes->killRequests(),
                 std::vector<std::string>{CheckProcess::agentFileName().toStdString()});
        QCOMPARE(reports.items, QStringList{"state:7"});

        processes->addProcess(CheckProcess::agentFileName().toStdString());
        check.timerDone();
        QCOMPARE(int(processes->killRequests().size()), 1);
        QCOMPARE(reports.items.size(), 1);
    }

    void repeatedStartFailuresStopAfterTheBound()
    {
        // An agent file that exists but cannot be run.
        const QString dir = makeFolder();
        QFile fake(dir + QLatin1Char('/') + CheckProcess::agentFileName());
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("not a program\n");
        fake.close();
        QVERIFY(fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner));

        CheckProcess check(fakes.platform());
        Reports reports;
        reports.attach(check);
        LogCapture log;
        check.CheckTargetPro();
        QVERIFY(waitFor([&] { return check.restartsGivenUp(); }));
        // The first start and three restarts, then no more.
        const int failures = CheckProcess::kMaxFailedStarts + 1;
        QCOMPARE(reports.count("state:0"), failures);
        QTest::qWait(200);
        QCOMPARE(reports.count("state:0"), failures);
        QCOMPARE(log.count("no further restart"), 1);

        // Asked again by the page, it tries afresh.
        check.CheckTargetPro();
        QVERIFY(waitFor([&] { return reports.count("state:0") == 2 * failures; }));
    }

    // --- against real agent processes ---

    void startsTheAgentAndClosesIt()
    {
        if (const QString why = realAgentUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        makeFolder(CheckProcess::agentFileName());
        {
            CheckProcess check(native);
            Reports reports;
            reports.attach(check);
            check.CheckTargetPro();
            QVERIFY(waitFor([&] { return reports.count("state:6") == 1; }));
            // The version class comes at once; the start reports itself later.
            QCOMPARE(reports.items,
                     (QStringList{QStringLiteral("version:") + appenv::windowsVersionClass(),
                                  QStringLiteral("state:6")}));
            QVERIFY(waitFor([this] { return agentRuns(); }));
            QCOMPARE(check.agentProcess()->program(),
                     folder->filePath(CheckProcess::agentFileName()));
            QCOMPARE(check.agentProcess()->arguments(), QStringList{QString()});
            QCOMPARE(check.agentProcess()->openMode(), QIODevice::ReadWrite);
        }
        // The agent outlives the object that started it.
        QTest::qWait(100);
        QVERIFY(agentRuns());

        CheckProcess closer(native);
        QVERIFY(waitFor([this] { return native.windows->exists("VelkoOptions"); }));
        LogCapture log;
        closer.CloseVelkoOptions();
        QVERIFY(log.contains("closed"));
        const bool ended = waitFor([this] { return !agentRuns(); });
        if (!ended)
            stopAgents();
        QVERIFY(ended);
    }

    void agentRunningUnderAnotherLetterCaseIsNotStartedAgain()
    {
        if (const QString why = realAgentUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        // Someone else's agent, run from another folder under a lower-case name.
        QTemporaryDir elsewhere;
        const QString lower = elsewhere.filePath(CheckProcess::agentFileName().toLower());
        QVERIFY(QFile::copy(builtAgent(), lower));
        QProcess other;
        other.setProcessChannelMode(QProcess::ForwardedChannels);
        other.start(lower, QStringList());
        QVERIFY(other.waitForStarted());
        QVERIFY(waitFor([this] { return agentRuns(); }));

        makeFolder(CheckProcess::agentFileName());
        CheckProcess check(native);
        Reports reports;
        reports.attach(check);
        check.CheckTargetPro();
        QTest::qWait(200);
        QCOMPARE(reports.items,
                 QStringList{QStringLiteral("version:") + appenv::windowsVersionClass()});
        QCOMPARE(check.agentProcess()->state(), QProcess::NotRunning);

        other.kill();
        other.waitForFinished(5000);
    }

    void killedAgentIsStartedAgain()
    {
        if (const QString why = realAgentUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        makeFolder(CheckProcess::agentFileName());
        CheckProcess check(native);
        Reports reports;
        reports.attach(check);
        check.CheckTargetPro();
        QVERIFY(waitFor([&] { return reports.count("state:6") == 1; }));
        const qint64 first = check.agentProcess()->processId();
        QVERIFY(waitFor([this] { return agentRuns(); }));

        QVERIFY(native.processes->forceKill(CheckProcess::agentFileName().toStdString()));
        QVERIFY(waitFor([&] { return reports.count("state:6") == 2; }));
        QVERIFY(reports.count("state:1") == 1); // reported as crashed
        QVERIFY(check.agentProcess()->processId() != first);
        QVERIFY(waitFor([this] { return agentRuns(); }));

        stopAgents();
        QVERIFY(!agentRuns());
        // An agent that closed when asked is not started again.
        QTest::qWait(200);
        QCOMPARE(reports.count("state:6"), 2);
    }

    void closeWhenNoAgentRuns()
    {
        if (const QString why = realAgentUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        CheckProcess check(native);
        LogCapture log;
        check.CloseVelkoOptions();
        QVERIFY(log.contains("no window"));
        QVERIFY(!agentRuns());
    }
};

QTEST_MAIN(TestCheckProcess)
#include "tst_checkprocess.moc"
