// The agent as a process: the built program, started the way the configurator
// starts it, closed through its window title.
#include "message_window.h"
#include "process.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// "VelkoOptions", with ".exe" on Windows.
static QString agentFileName()
{
    return QString::fromStdString(platform::executableFileName("VelkoOptions"));
}

class TestAgentProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString binDir = qEnvironmentVariable("VELKO_BIN_DIR", QCoreApplication::applicationDirPath());
        m_program = binDir + '/' + agentFileName();
        QVERIFY2(QFile::exists(m_program), qPrintable(m_program));
        QVERIFY2(!m_windows->exists("VelkoOptions"), "another agent is running for this user");
    }
    void init()
    {
        // A private copy: the agent reads its settings beside itself.
        m_dir = std::make_unique<QTemporaryDir>();
        const QString copy = m_dir->filePath(agentFileName());
        QVERIFY(QFile::copy(m_program, copy));
        m_program = copy;
    }
    void cleanup()
    {
        m_windows->requestClose("VelkoOptions", 3000);
        m_program = qEnvironmentVariable("VELKO_BIN_DIR", QCoreApplication::applicationDirPath()) +
                    '/' + agentFileName();
    }

    void secondCopyExitsAtOnceAndCloseEndsTheFirst()
    {
        QProcess first;
        QVERIFY(startAgent(first));

        QProcess second;
        QElapsedTimer timer;
        timer.start();
        second.setProcessEnvironment(first.processEnvironment());
        second.setProcessChannelMode(QProcess::MergedChannels);
        second.start(m_program, QStringList());
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(!second.readAll().contains("正常退出"));

        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(m_windows->exists("VelkoOptions"));
        QCOMPARE(m_windows->requestClose("VelkoOptions", 5000), platform::CloseResult::Closed);
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        // The log is written in the system's 8-bit encoding (the ANSI code page on Windows).
        const QString output = QString::fromLocal8Bit(first.readAll());
        QVERIFY2(output.contains(QStringLiteral("正常退出")), qPrintable(output));
        // No filter driver on this machine: the agent said so and still ran.
        QVERIFY(output.contains(QStringLiteral("是否有设备：")));
        QCOMPARE(m_windows->requestClose("VelkoOptions", 1000), platform::CloseResult::NotFound);
    }

    // Asked to end by the system (SIGTERM, as at a session's end, on Linux; on
    // Windows WM_CLOSE to its windows), the agent ends in order and leaves nothing
    // in the temporary folder: no private copy of the settings, no socket.
    void terminationEndsTheAgentInOrder()
    {
        const QString tmp = m_dir->filePath("tmp");
        QVERIFY(QDir().mkpath(tmp));
        QHash<QByteArray, QByteArray> former;
        for (const char *name : {"TMPDIR", "TMP", "TEMP"}) { // the agent's socket is there too
            former[name] = qgetenv(name);
            qputenv(name, QDir::toNativeSeparators(tmp).toLocal8Bit());
        }
        QProcess agent;
        const bool started = startAgent(agent);
        for (auto it = former.cbegin(); it != former.cend(); ++it)
            qputenv(it.key(), it.value());
        QVERIFY(started);
        const auto left = [&] {
            return QDir(tmp).entryList({"VelkoOptions*"}, QDir::AllEntries | QDir::System | QDir::Hidden);
        };
        QTRY_VERIFY(!QDir(tmp).entryList({"VelkoOptions*"}, QDir::Dirs).isEmpty()); // its copies
        agent.terminate();
        QVERIFY(agent.waitForFinished(10000));
        QCOMPARE(agent.exitStatus(), QProcess::NormalExit);
        QCOMPARE(agent.exitCode(), 0);
        const QString output = QString::fromLocal8Bit(agent.readAll());
        QVERIFY2(output.contains(QStringLiteral("正常退出")), qPrintable(output));
        QCOMPARE(left(), QStringList());
    }

private:
    // Starts the agent copy and waits until its close window answers.
    bool startAgent(QProcess &process)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(m_program, QStringList());
        if (!process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100; ++i) {
            if (m_windows->exists("VelkoOptions"))
                return true;
            if (process.waitForFinished(50))
                return false;
        }
        return false;
    }

    QString m_program;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<platform::WindowDirectory> m_windows = platform::createWindowDirectory();
};

QTEST_GUILESS_MAIN(TestAgentProcess)
#include "tst_agentprocess.moc"
