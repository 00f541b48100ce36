// Button-event codes deferred through the main window's queue to the dispatcher, in order.
#include "appenv.h"
#include "fake_agent_platform.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "singletonglobalmousehook.h"

#include <QtTest>

namespace {

using platform::fake::FakeNativeMessages;

// The routing's own lines ("C_MID_MOUSE_MSG", ...).
QStringList routingLines(const QStringList &lines)
{
    return lines.filter(QRegularExpression("^C_[A-Z_]+$"));
}

void emitHook(int msgType)
{
    SingletonGlobalMouseHook::instance()->emitMouseHookParam(msgType, -1);
}

} // namespace

class TestRouting : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        QVERIFY(m_folder->isValid());
        m_folder->setModel("QX210");
        // Keys keep their own buttons; the wheels' functions show which one moved which way.
        m_folder->setModelValues("QX210", {{"SET/Mid_wheel", "Song Previous/Next-6-midWheel"},
                                           {"SET/Side_wheel", "Volume control-0-slideWheel"}});
        appenv::setWindowsVersionClass("win10");
        m_fakes = std::make_unique<FakeAgentPlatform>();
    }
    void cleanup()
    {
        m_window.reset(), m_fakes.reset(), m_folder.reset();
        appenv::setWindowsVersionClass(QString());
    }
    void eachCodeReachesItsControl_data()
    {
        QTest::addColumn<int>("msgType");
        QTest::addColumn<QString>("logLine"); // empty: none
        QTest::addColumn<QStringList>("effects");
        // "code|routing line|effects..."; every code's control is also checked, in
        // one stream, by queuedDeferralKeepsTheOrder.
        for (const char *row : {"0|C_MID_MOUSE_MSG|mouse 0x20 0", "2|C_SLIDER_MOUSE_WHEEL|mute 0|volume 0.49",
                                "3||mute 0|volume 0.51", "12|", "-1|"}) {
            const QStringList f = QString(row).split('|');
            QTest::newRow(row) << f[0].toInt() << f[1] << QStringList(f.mid(2));
        }
    }
    void eachCodeReachesItsControl()
    {
        QFETCH(int, msgType);
        QFETCH(QString, logLine);
        QFETCH(QStringList, effects);
        makeWindow();
        LogCapture log;
        emitHook(msgType);
        // Posted to the window's own native window with the code as wParam; nothing is
        // routed before it comes back, not even by the toolkit's own queue.
        const auto calls = m_fakes->nativeMessages->postCalls();
        QCOMPARE(calls.size(), std::size_t(1));
        QCOMPARE(calls[0].window, FakeNativeMessages::kReceiverWindow);
        QCOMPARE(calls[0].message, MainWindow::kHookMessage);
        QCOMPARE(calls[0].wParam, std::uintptr_t(std::intptr_t(msgType)));
        QCOMPARE(calls[0].lParam, std::intptr_t(-1));
        QCoreApplication::processEvents();
        QCOMPARE(m_fakes->effects(), QStringList());
        QCOMPARE(routingLines(log.lines()), QStringList());
        deliverPosted();

        QCOMPARE(m_fakes->effects(), effects);
        QCOMPARE(routingLines(log.lines()), QStringList(logLine).filter(QRegularExpression(".")));
    }
    void lostPostLosesOnlyThatEvent()
    {
        makeWindow();
        m_fakes->nativeMessages->setQueueLimit(1);
        emitHook(0);
        emitHook(1); // the queue is full: lost
        deliverPosted();
        emitHook(8);
        deliverPosted();
        QCOMPARE(m_fakes->nativeMessages->postCalls().size(), std::size_t(3));
        QCOMPARE(m_fakes->effects(), (QStringList{"mouse 0x20 0", "mouse 0x8 0"}));
    }
    void queuedDeferralKeepsTheOrder_data()
    {
        QTest::addColumn<bool>("withService"); // without: no message service at all
        QTest::newRow("no message service") << false;
    }
    void queuedDeferralKeepsTheOrder()
    {
        QFETCH(bool, withService);
        m_fakes->nativeMessages->setCanPost(false);
        if (!withService)
            m_fakes->platform.nativeMessages.reset();
        makeWindow();
        QCOMPARE(m_window->hookWindow(), std::uintptr_t(0));
        LogCapture log;
        for (int code : {8, 0, 3, 1, 9, 12, 6, -1, 7, 2, 11, 4, 10, 5})
            emitHook(code);
        // Deferred: nothing happened inside the emissions.
        QCOMPARE(m_fakes->effects(), QStringList());
        QCOMPARE(routingLines(log.lines()), QStringList());
        if (withService)
            QCOMPARE(m_fakes->nativeMessages->postCalls().size(), std::size_t(0));

        // Input and audio are recorded apart, each in its own order.
        QTRY_COMPARE(m_fakes->effects().size(), 16);
        QCOMPARE(m_fakes->effects(),
                 QString("mouse 0x8 0|mouse 0x20 0|mouse 0x40 0|mouse 0x10 0|mouse 0x80 1|mouse 0x100 1|"
                         "key 0xB1 1|key 0xB1 3|mouse 0x80 2|key 0xB0 1|key 0xB0 3|mouse 0x100 2|mute 0|"
                         "volume 0.51|mute 0|volume 0.50").split('|'));
    }

    // The receiver going away lets go of what a key combination holds down.
    void removalLetsGoOfHeldKeys()
    {
        m_folder->setModelValues("QX210", {{"SET/Right_key", "Key combination-48-rightKey"},
                                           {"SET/Right_key_combination", "Ctrl+T"}});
        makeWindow();
        m_window->dispatcher().onKeyEvent(5, false);
        QCOMPARE(m_fakes->effects(), (QStringList{"key 0xA2 0", "key 0x54 0"}));
        m_fakes->clearEffects();
        platform::WindowMessage removal;
        removal.message = platform::kWmDeviceChange;
        removal.wParam = platform::kDbtDeviceRemoveComplete;
        removal.hasBroadcast = true;
        removal.deviceType = platform::kDbtDevtypDeviceInterface;
        removal.interfaceName = R"(\\?\USB#VID_2F6B&PID_1812#0001#{a5dcbf10})";
        m_window->deviceWindow().handleMessage(removal);
        QCOMPARE(m_fakes->effects(), (QStringList{"key 0x54 2", "key 0xA2 2"}));
    }

private:
    void deliverPosted() // what the window posted to itself, as its message loop would
    {
        const std::size_t queued = m_fakes->nativeMessages->queuedCount();
        QCOMPARE(m_fakes->nativeMessages->deliverQueued(), queued);
    }
    void makeWindow()
    {
        m_window = std::make_unique<MainWindow>(m_fakes->platform);
        m_fakes->clearEffects();
    }

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<FakeAgentPlatform> m_fakes;
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(TestRouting)
#include "tst_routing.moc"