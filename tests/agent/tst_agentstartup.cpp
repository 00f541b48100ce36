// The agent's whole life in-process: single instance, the close window, the
// driver thread, and the order of shutdown, against the fake platform.
#include "agentapp.h"
#include "appenv.h"
#include "fake_agent_platform.h"
#include "inputsource.h"
#include "logcapture.h"
#include "simulated_mouse.h"
#include "singletonglobalmousehook.h"
#include "usbdriver.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <condition_variable>
#include <future>
#include <mutex>

using platform::fake::FakeFilterDevice;
using platform::fake::FakeWindowDirectory;
using Request = FakeFilterDevice::Request;

namespace {

// A driver whose reads never return while `blocked`: the thread cannot end.
class StuckFilterDevice : public FakeFilterDevice
{
public:
    platform::ControlResult control(std::uint32_t code, const std::uint32_t *input,
                                    std::uint32_t *output) override
    {
        if (code == platform::kIoctlWtRead) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_reading = true;
            m_cv.wait(lock, [this] { return !m_blocked; });
        }
        return FakeFilterDevice::control(code, input, output);
    }
    bool isReading()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_reading;
    }
    void unblock()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_blocked = false;
        }
        m_cv.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_blocked = true;
    bool m_reading = false;
};

// "code:input" per request, inputs left out where a request carries none.
QStringList describe(const std::vector<Request> &requests)
{
    QStringList out;
    for (const Request &r : requests)
        out << (r.hadInput ? QStringLiteral("%1:%2").arg(r.code, 0, 16).arg(r.input, 0, 16)
                           : QString::number(r.code, 16));
    return out;
}

bool systemHookAvailable()
{
    return platform::createMouseHook()->start([](const platform::MouseHookEvent &) { return false; });
}

// A window under the pointer that notes the buttons pressed on it. Wine hears the
// virtual display's pointer only over windows of its own.
struct TargetWindow : QWidget {
    TargetWindow()
    {
        setGeometry(100, 100, 400, 400);
        show();
    }
    void mousePressEvent(QMouseEvent *e) override { pressed << e->button(); }
    QList<Qt::MouseButton> pressed;
};

// xdotool, a Unix program that Wine starts as one.
void xdotool(const QString &arguments)
{
    QVERIFY(QProcess::startDetached("Z:/usr/bin/xdotool", arguments.split(' ')));
}

} // namespace

class TestAgentStartup : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        appenv::setApplicationDir(m_dir->path());
    }
    void cleanup() { appenv::setApplicationDir(QString()); }

    void secondCopyEndsAtOnce()
    {
        platform::fake::FakeInstanceLock first;
        QCOMPARE(first.acquire(kAgentInstanceLock), platform::LockResult::Acquired);
        FakeAgentPlatform fakes;
        LogCapture log;
        QCOMPARE(runAgent(fakes.platform), 0);
        QVERIFY(!fakes.messageWindow->isCreated());
        QVERIFY(fakes.filterDevice->requests().empty());
        QVERIFY(!fakes.filterDevice->hasSemaphore());
        QVERIFY(log.lines().isEmpty());
        QVERIFY(platform::fake::FakeInstanceLock::isHeld(kAgentInstanceLock));
    }
    void closeRequestEndsTheAgent()
    {
        const bool driverPresent = false;
        FakeAgentPlatform fakes;
        fakes.filterDevice->setPresent(driverPresent);
        LogCapture log;
        bool titled = false;
        int visible = 0;
        QCOMPARE(runAndClose(fakes,
                             [&] {
                                 titled = FakeWindowDirectory::find("VelkoOptions") != nullptr;
                                 for (QWidget *w : QApplication::topLevelWidgets())
                                     visible += w->isVisible();
                             }),
                 0);
        QVERIFY(titled);
        QCOMPARE(visible, 0); // neither the main window nor the device window is ever shown
        QVERIFY(log.contains(QStringLiteral("是否有设备： false")));
        const int exitLine = log.indexOf(QStringLiteral("正常退出"));
        QVERIFY(exitLine >= 0);
        // The driver thread ended before the exit line.
        const int threadLine = log.indexOf(QStringLiteral("Thread exit!"));
        QVERIFY(threadLine >= 0 && threadLine < exitLine);
        QVERIFY(!log.contains(QStringLiteral("still running")));
        const auto debugLines = fakes.filterDevice->debugLines();
        const bool openFailed = !debugLines.empty() && debugLines.front() == "Vl Wireless Drv: Open driver failed.";
        QCOMPARE(openFailed, !driverPresent);
        QVERIFY(!fakes.filterDevice->isOpen());
        QVERIFY(!fakes.filterDevice->hasSemaphore());
    }
    // Copies of the settings that earlier runs could not tidy up (killed, or ended
    // with a Windows session) go when the agent starts; nothing else does.
    void foldersLeftByEarlierRunsAreRemoved()
    {
        const QString temp = QDir::tempPath() + '/';
        const QString program = temp + QCoreApplication::applicationName();
        const QString stem = program + "-settings-";
        const QStringList left{stem + "ab12CD", stem + "Zz0099"};
        const QStringList kept{stem + "ab12C", stem + "ab12CD7", program + "-ab12CD",
                               temp + "other-settings-ab12CD"};
        for (const QString &folder : left + kept)
            QVERIFY(QDir().mkpath(folder + "/1.ini"));
        QFile file(stem + "xy12zw");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        FakeAgentPlatform fakes;
        QCOMPARE(runAndClose(fakes), 0);
        for (const QString &folder : left)
            QVERIFY2(!QFileInfo::exists(folder), qPrintable(folder));
        for (const QString &folder : kept) {
            QVERIFY2(QFileInfo::exists(folder), qPrintable(folder));
            QDir(folder).removeRecursively();
        }
        QVERIFY(file.remove());
    }
    // The lock of the file saying how the agent hears the mouse, left by an agent
    // killed while writing it, does not hold up the next one.
    void aLockLeftByAKilledAgentHoldsNothingUp()
    {
        QFile lock(inputsource::filePath() + ".lock");
        QVERIFY(QDir().mkpath(QFileInfo(lock).path()) && lock.open(QIODevice::WriteOnly));
        lock.close();
        auto store = std::async(std::launch::async,
                                [] { return inputsource::store(inputsource::Source::Hook); });
        QVERIFY(store.wait_for(std::chrono::seconds(10)) == std::future_status::ready);
        QVERIFY(store.get());
        QCOMPARE(inputsource::stored(), inputsource::Source::Hook);
    }
    // Armed while running, its records reaching the hub (decoding: tst_usbdriver), and
    // disarmed at shutdown.
    void driverIsArmedAndDisarmed()
    {
        FakeAgentPlatform fakes;
        QStringList whileRunning;
        QList<int> seen;
        auto connection = connect(SingletonGlobalMouseHook::instance(),
                                  &SingletonGlobalMouseHook::sig_mouseHookParam, this,
                                  [&](int type, int) { seen << type; });
        QCOMPARE(runAndClose(fakes,
                             [&] {
                                 whileRunning = describe(fakes.filterDevice->requests());
                                 for (std::uint32_t r : {0x04u, 0x00u, 0x1FFu})
                                     QVERIFY(fakes.filterDevice->pushRecord(r));
                                 QTRY_COMPARE(seen, (QList<int>{0, 1, 10}));
                             }),
                 0);
        disconnect(connection);
        // Hook with the semaphore, filter 0 then 0x1FE; at shutdown filter 0 twice,
        // keyboard filter 0, unhook, debug level 0.
        QCOMPARE(whileRunning, (QStringList{"222400:1f4", "22240c:0", "22240c:1fe"}));
        const QStringList atShutdown = describe(fakes.filterDevice->requests()).mid(3);
        QCOMPARE(atShutdown.filter(QRegularExpression("^(?!222408)")), // reads left out
                 (QStringList{"22240c:0", "22240c:0", "222410:0", "222404", "222414:0"}));
        QVERIFY(!fakes.filterDevice->isHooked());
    }
    void hungDriverThreadDoesNotCrashShutdown()
    {
        FakeAgentPlatform fakes;
        auto *device = new StuckFilterDevice;
        fakes.platform.filterDevice.reset(device);
        LogCapture log;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(runAndClose(fakes,
                             [&] {
                                 QVERIFY(device->pushRecord(0x04));
                                 // Wait until the thread is inside the read that never returns.
                                 QTRY_VERIFY(device->isReading());
                             }),
                 0);
        QVERIFY(timer.elapsed() >= 3000);
        QVERIFY(log.contains(QStringLiteral("正常退出")));
        QVERIFY(log.contains(QStringLiteral("still running")));
        // Let the orphaned thread finish before the fake it uses goes away.
        device->unblock();
        QTRY_VERIFY(log.contains(QStringLiteral("Thread exit!")));
        QTest::qWait(50);
    }

    // The simulated mouse's right key in front of three programs: two with a set
    // of their own, one that follows the default set.
    void pressFollowsTheProgramInFront()
    {
        SettingsFolder folder;
        folder.setModel("QX210");
        folder.setModelValues("QX210", {{"SET/Right_key", "Paste-14-rightKey"},
                                        {"PROGRAMS/count", "2"},
                                        {"PROGRAM1/program", "editor.exe"},
                                        {"PROGRAM1/Right_key", "Copy-12-rightKey"},
                                        {"PROGRAM2/program", "browser"},
                                        {"PROGRAM2/Right_key", "Web-1-rightKey"},
                                        {"PROGRAM2/right_web_url", "http://example.com/"}});
        FakeAgentPlatform fakes;
        auto *mouse = new platform::fake::SimulatedMouse;
        fakes.platform.filterDevice.reset(mouse);
        fakes.platform.nativeMessages.reset(); // the routing defers through the event loop
        const auto ctrl = [](const char *vk) {
            return QStringList{"key 0x11 0", QString("key %1 0").arg(vk), "pause 50",
                               QString("key %1 2").arg(vk), "key 0x11 2"};
        };
        const std::vector<std::pair<std::string, QStringList>> presses = {
            {"editor.exe", ctrl("0x43")},
            {"browser", {"open http://example.com/ 10"}},
            {"notes", ctrl("0x56")},
            {"editor.exe", ctrl("0x43")}};
        QCOMPARE(runAndClose(fakes,
                             [&] {
                                 for (const auto &[program, effects] : presses) {
                                     fakes.programs->showProgram(program);
                                     fakes.clearEffects();
                                     QVERIFY(mouse->press("right-key"));
                                     QTRY_COMPARE(fakes.effects(), effects);
                                 }
                             }),
                 0);
    }

    // Without the driver the hook hears the mouse; the driver, once there, takes
    // over and the hook goes; when the driver goes, the hook is back.
    void theHookStandsInForAnAbsentDriver()
    {
        using inputsource::Source;
        SettingsFolder folder;
        folder.setModel("QX210");
        folder.setModelValue("QX210", "SET/Right_key", "Copy-12-rightKey");
        FakeAgentPlatform fakes;
        fakes.filterDevice->setPresent(false);
        QList<int> seen;
        auto connection = connect(SingletonGlobalMouseHook::instance(),
                                  &SingletonGlobalMouseHook::sig_mouseHookParam, this,
                                  [&](int type, int) { seen << type; });
        using Kind = platform::MouseHookEvent::Kind;
        const auto button = [&](Kind kind, platform::MouseHookButton b) {
            platform::MouseHookEvent e;
            e.kind = kind;
            e.button = b;
            return fakes.mouseHook->deliver(e);
        };
        using platform::MouseHookButton;
        QCOMPARE(runAndClose(fakes,
                             [&] {
                                 QCOMPARE(inputsource::stored(), Source::Hook);
                                 QVERIFY(button(Kind::ButtonDown, MouseHookButton::Right));
                                 QVERIFY(button(Kind::ButtonUp, MouseHookButton::Right));
                                 QVERIFY(!button(Kind::ButtonDown, MouseHookButton::Middle));
                                 QVERIFY(!button(Kind::ButtonUp, MouseHookButton::Middle));
                                 QTRY_COMPARE(seen, (QList<int>{8, 9}));
                                 fakes.filterDevice->setPresent(true);
                                 QTRY_VERIFY(!fakes.mouseHook->isRunning());
                                 QCOMPARE(inputsource::stored(), Source::Driver);
                                 QVERIFY(!button(Kind::ButtonDown, MouseHookButton::Right));
                                 QVERIFY(fakes.filterDevice->pushRecord(0x02));
                                 QVERIFY(fakes.filterDevice->pushRecord(0x00));
                                 QTRY_COMPARE(seen, (QList<int>{8, 9, 8, 9}));
                                 fakes.filterDevice->setPresent(false);
                                 QTRY_VERIFY(fakes.mouseHook->isRunning());
                                 QCOMPARE(inputsource::stored(), Source::Hook);
                             }),
                 0);
        disconnect(connection);
        QCOMPARE(seen, (QList<int>{8, 9, 8, 9}));
    }

    // The agent on the system's own hook (Windows; under Wine xdotool's X events
    // are the mouse): each control plays its combination, and reaches no window;
    // a control left at "None" reaches the window under the pointer instead; once
    // the driver is there the hook hears nothing more.
    void theSystemHookDrivesTheAgent()
    {
        if (!systemHookAvailable())
            QSKIP("no low-level mouse hook on this system");
        SettingsFolder folder;
        folder.setModel("QX210");
        // F1..F8 (0x70..0x77): the four keys, then each wheel up and down.
        const char *keys[][2] = {{"Mid_key", "midKey"}, {"Right_key", "rightKey"},
                                 {"Side_downkey", "slideDownKey"}, {"Side_upkey", "slideUpKey"}};
        int f = 1;
        for (const auto &k : keys) {
            folder.setModelValue("QX210", QString("SET/") + k[0], QString("Key combination-48-") + k[1]);
            folder.setModelValue("QX210", QString("SET/%1_combination").arg(k[0]), QString("F%1").arg(f++));
        }
        for (const auto &w : {std::pair{"Mid_wheel", "midWheel"}, std::pair{"Side_wheel", "slideWheel"}}) {
            folder.setModelValue("QX210", QString("SET/") + w.first, QString("Key combination-9-") + w.second);
            folder.setModelValue("QX210", QString("SET/%1_combination_up").arg(w.first), QString("F%1").arg(f++));
            folder.setModelValue("QX210", QString("SET/%1_combination_down").arg(w.first), QString("F%1").arg(f++));
        }
        FakeAgentPlatform fakes;
        fakes.filterDevice->setPresent(false);
        fakes.platform.mouseHook = platform::createMouseHook();
        fakes.platform.nativeMessages.reset(); // the routing defers through the event loop
        TargetWindow window;
        QStringList expected;
        for (int vk = 0x70; vk <= 0x73; ++vk) // a key held while held
            expected << QString("key 0x%1 0").arg(vk, 0, 16) << QString("key 0x%1 2").arg(vk, 0, 16);
        for (int vk : {0x74, 0x75, 0x76, 0x77}) // a wheel's step: up, down, right, left
            expected << QString("key 0x%1 0").arg(vk, 0, 16) << QString("key 0x%1 2").arg(vk, 0, 16);
        QCOMPARE(runAndClose(fakes,
                             [&] {
                                 xdotool("mousemove 300 300 click 2 click 3 click 8 click 9 "
                                         "click 4 click 5 click 7 click 6");
                                 QTRY_COMPARE_WITH_TIMEOUT(fakes.effects(), expected, 20000);
                                 folder.removeModelValue("QX210", "SET/Mid_key_combination");
                                 QTest::qWait(1000); // the agent reads the assignments anew
                                 xdotool("click 2");
                                 QTRY_COMPARE_WITH_TIMEOUT(window.pressed, QList<Qt::MouseButton>{Qt::MiddleButton}, 20000);
                                 QCOMPARE(fakes.effects(), expected);
                                 // The driver comes: the hook goes, and the right key's
                                 // click is the driver's to withhold, heard once.
                                 fakes.filterDevice->setPresent(true);
                                 QTRY_COMPARE(inputsource::stored(), inputsource::Source::Driver);
                                 xdotool("click 3");
                                 QTRY_COMPARE_WITH_TIMEOUT(window.pressed.size(), 2, 20000);
                                 QVERIFY(fakes.filterDevice->pushRecord(0x02));
                                 QVERIFY(fakes.filterDevice->pushRecord(0x00));
                                 expected << "key 0x71 0" << "key 0x71 2";
                                 QTRY_COMPARE(fakes.effects(), expected);
                             }),
                 0);
    }

    // The agent's own output, a right click for the middle key here, goes past
    // the hook to the window and is not heard as the right key.
    void theAgentsOwnClicksAreNotHeardAgain()
    {
        if (!systemHookAvailable())
            QSKIP("no low-level mouse hook on this system");
        SettingsFolder folder;
        folder.setModel("QX210");
        folder.setModelValue("QX210", "SET/Mid_key", "Mouse right click-35-midKey");
        folder.setModelValue("QX210", "SET/Right_key", "Copy-12-rightKey");
        FakeAgentPlatform fakes;
        fakes.filterDevice->setPresent(false);
        fakes.platform.mouseHook = platform::createMouseHook();
        fakes.platform.nativeMessages.reset();
        fakes.platform.input = platform::createInputInjector(); // clicks for real
        fakes.input = nullptr;
        QList<int> heard;
        auto connection = connect(SingletonGlobalMouseHook::instance(),
                                  &SingletonGlobalMouseHook::sig_mouseHookParam, this,
                                  [&](int type, int) { heard << type; });
        TargetWindow window;
        QCOMPARE(runAndClose(fakes,
                             [&] {
                                 xdotool("mousemove 300 300 click 2");
                                 QTRY_COMPARE_WITH_TIMEOUT(window.pressed, QList<Qt::MouseButton>{Qt::RightButton}, 20000);
                                 QTest::qWait(300);
                             }),
                 0);
        disconnect(connection);
        QCOMPARE(heard, (QList<int>{0, 1})); // the middle key's press and release only
    }

private:
    // Runs the agent; `during` runs once its event loop is up, then the agent is
    // asked to close through its window title.
    int runAndClose(FakeAgentPlatform &fakes, const std::function<void()> &during = {})
    {
        bool closed = false;
        QTimer::singleShot(0, [&] {
            if (during)
                during();
            FakeWindowDirectory directory;
            closed = directory.requestClose(kAgentWindowTitle, 5000) == platform::CloseResult::Closed;
        });
        const int code = runAgent(fakes.platform);
        if (!closed)
            qWarning("the agent's window did not take the close request");
        return closed ? code : -100;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestAgentStartup)
#include "tst_agentstartup.moc"
