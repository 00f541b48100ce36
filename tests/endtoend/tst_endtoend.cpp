// Both programs as a person runs them without the hardware: the configurator
// started with the simulated mouse starts the agent, a function is chosen for a
// control, the control is pressed on the simulated mouse with the agent's
// command, and the agent's recorded input shows what it performed.
#include "appenv.h"
#include "message_window.h"
#include "opfunconffile.h"
#include "process.h"
#include "simulatedmouseserver.h"

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char kModel[] = "QX210";

// Choosing a function for a control as its page does. Today the page's writes go
// through the configurator's settings object directly; when the pages are driven
// instead, only this step changes.
void chooseFunction(const QString &control, const QString &entry)
{
    OpFunConfFile settings;
    settings.syncMouseIni();
    using Setter = void (OpFunConfFile::*)(const QString &);
    const QHash<QString, Setter> setters = {
        {"middle-key", &OpFunConfFile::SetMidKeyVal},
        {"right-key", &OpFunConfFile::SetRightKeyVal},
        {"wheel-up", &OpFunConfFile::SetMidWheelVal},
        {"side-wheel-right", &OpFunConfFile::SetSideWheel},
    };
    (settings.*setters.value(control))(entry);
    settings.syncIniToFile();
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void pressPerformsTheChosenFunction_data();
    void pressPerformsTheChosenFunction();

private:
    QStringList newEffects();

    QTemporaryDir m_dir;
    QString m_effects;
    QProcess m_configurator;
    int m_effectsSeen = 0;
    std::unique_ptr<platform::WindowDirectory> m_windows = platform::createWindowDirectory();
};

void TestEndToEnd::initTestCase()
{
    // The configurator starts no agent while a process of that name runs.
    QVERIFY2(
        !platform::createProcessTable()->isRunning(platform::executableFileName("VelkoOptions")),
        "another agent is running on this machine");
    // Private copies: both programs keep their settings beside themselves.
    const QString binDir =
        qEnvironmentVariable("VELKO_BIN_DIR", QCoreApplication::applicationDirPath());
    for (const char *name : {"VelkoOptionsGUI", "VelkoOptions"}) {
        const QString program = QString::fromStdString(platform::executableFileName(name));
        QVERIFY(QFile::copy(binDir + '/' + program, m_dir.filePath(program)));
    }
    appenv::setApplicationDir(m_dir.path());
    OpFunConfFile().SetCurrentMouse(kModel);

    m_effects = m_dir.filePath("effects.txt");
    // The platform the test runs on, offscreen by default. On Windows the agent posts
    // its events to its own native window, which the offscreen platform does not make.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains("QT_QPA_PLATFORM"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    m_configurator.setProcessEnvironment(env);
    m_configurator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_configurator.start(m_dir.filePath("VelkoOptionsGUI"),
                         {"--simulated-mouse", "--record-effects", m_effects});
    QVERIFY(m_configurator.waitForStarted(5000));

    // The agent serves the simulated mouse once its driver is armed.
    const QString socket = SimulatedMouseServer::socketName(m_dir.path());
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QLocalSocket probe;
            probe.connectToServer(socket);
            return probe.waitForConnected(100);
        }(),
        20000);
}

void TestEndToEnd::cleanupTestCase()
{
    m_windows->requestClose("VelkoOptions", 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_windows->exists("VelkoOptions"), 5000);
    m_configurator.kill();
    m_configurator.waitForFinished(5000);
    appenv::setApplicationDir(QString());
}

QStringList TestEndToEnd::newEffects()
{
    QFile file(m_effects);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) // CRLF lines on Windows
        return {};
    const QStringList all = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    return all.mid(m_effectsSeen);
}

void TestEndToEnd::pressPerformsTheChosenFunction_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("entry"); // empty: the model's default
    QTest::addColumn<QStringList>("effects");

    const auto ctrl = [](const char *vk) {
        return QStringList{"key 0x11 0", QString("key %1 0").arg(vk), "pause 50",
                           QString("key %1 2").arg(vk), "key 0x11 2"};
    };
    QTest::newRow("middle key, its own click")
        << "middle-key" << QString() << QStringList{"mouse 0x20 0", "mouse 0x40 0"};
    QTest::newRow("middle key, copy") << "middle-key"
                                      << "Copy-12-midKey" << ctrl("0x43");
    QTest::newRow("right key, paste") << "right-key"
                                      << "Paste-14-rightKey" << ctrl("0x56");
    QTest::newRow("middle wheel up, previous song")
        << "wheel-up"
        << "Song Previous/Next-6-midWheel" << QStringList{"key 0xB1 1", "key 0xB1 3"};
    QTest::newRow("side wheel right, play")
        << "side-wheel-right"
        << "Play/Pause-7-slideWheel" << QStringList{"key 0xB3 1", "key 0xB3 3"};
    // Recorded like the input, not performed: the session stays unlocked and the
    // machine's volume where it was.
    QTest::newRow("right key, lock screen") << "right-key"
                                            << "Lock screen-28-rightKey" << QStringList{"lock"};
    QTest::newRow("middle wheel up, volume")
        << "wheel-up"
        << "Volume control-0-midWheel" << QStringList{"mute 0", "volume 0.51"};
}

void TestEndToEnd::pressPerformsTheChosenFunction()
{
    QFETCH(QString, control);
    QFETCH(QString, entry);
    QFETCH(QStringList, effects);

    if (!entry.isEmpty())
        chooseFunction(control, entry);
    m_effectsSeen += newEffects().size();

    QProcess press;
    press.setProcessChannelMode(QProcess::ForwardedChannels);
    press.start(m_dir.filePath("VelkoOptions"), {"--press", control});
    QVERIFY(press.waitForFinished(10000));
    QCOMPARE(press.exitCode(), 0);

    QTRY_COMPARE(newEffects().size(), effects.size());
    QTest::qWait(100); // nothing more follows
    QCOMPARE(newEffects(), effects);
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
