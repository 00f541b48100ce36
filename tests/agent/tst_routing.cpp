// From the event hub to the dispatcher: each button-event code is deferred
// through the main window's queue and routed as the right control and edge, in
// the order the codes arrived.
#include "appenv.h"
#include "fake_agent_platform.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "singletonglobalmousehook.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// Gives the test the window's native-event hook, as the event loop calls it.
class TestableMainWindow : public MainWindow
{
public:
    using MainWindow::MainWindow;
    using MainWindow::nativeEvent;
};

QByteArray fakeEventType()
{
    return QByteArray(platform::fake::FakeNativeMessages::kEventType);
}

const char *const kRoutingLines[] = {
    "C_MID_MOUSE_MSG",   "C_SLIDER_MOUSE_WHEEL",   "C_SLIDER_MOUSE_BEFORE", "C_SLIDER_MOUSE_BEHIND",
    "C_RIGHT_MOUSE_MSG", "C_MID_MOUSE_WHEEL_DOWN", "C_MID_MOUSE_WHEEL_UP",
};

int routingLineCount(const QStringList &lines)
{
    int n = 0;
    for (const QString &line : lines)
        for (const char *r : kRoutingLines)
            if (line == QLatin1String(r))
                ++n;
    return n;
}

std::uintptr_t wParamOf(int msgType)
{
    return std::uintptr_t(std::intptr_t(msgType));
}

} // namespace

class TestRouting : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void routeTable_data();
    void routeTable();
    void eachCodeReachesItsControl_data();
    void eachCodeReachesItsControl();
    void middleClickIsPressThenRelease();
    void nothingIsRoutedBeforeTheMessageComesBack();
    void privateMessageFromAnyoneIsRouted_data();
    void privateMessageFromAnyoneIsRouted();
    void otherMessagesAreLeftAlone();
    void lostPostLosesOnlyThatEvent();
    void queuedDeferralKeepsTheOrder_data();
    void queuedDeferralKeepsTheOrder();
    void hubWithoutListenerIsANoOp();
    void hubPassesCodesThroughUnchanged();

private:
    // Routes what the window posted to itself, as its message loop would.
    void deliverPosted(TestableMainWindow &window);
    void makeWindow();

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<FakeAgentPlatform> m_fakes;
    std::unique_ptr<TestableMainWindow> m_window;
};

void TestRouting::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_folder->setModel("QX210");
    // Keys keep their own buttons (no entries); the wheels get functions that
    // show which wheel moved and which way.
    m_folder->setModelValues("QX210", {{"SET/Mid_wheel", "Song Previous/Next-6-midWheel"},
                                       {"SET/Side_wheel", "Volume control-0-slideWheel"}});
    appenv::setWindowsVersionClass("win10");
    m_fakes = std::make_unique<FakeAgentPlatform>();
}

void TestRouting::cleanup()
{
    m_window.reset();
    m_fakes.reset();
    m_folder.reset();
    appenv::setWindowsVersionClass(QString());
}

void TestRouting::makeWindow()
{
    m_window = std::make_unique<TestableMainWindow>(m_fakes->platform);
    m_fakes->clearEffects();
}

void TestRouting::deliverPosted(TestableMainWindow &window)
{
    for (platform::NativeMessage m : m_fakes->nativeMessages->takeQueued()) {
        QCOMPARE(m.window, std::uintptr_t(window.winId()));
        long result = 12345;
        QCOMPARE(window.nativeEvent(fakeEventType(), &m, &result), false);
        QCOMPARE(result, 12345L);
    }
}

void TestRouting::routeTable_data()
{
    using Kind = MainWindow::Route::Kind;
    QTest::addColumn<quint64>("msgType");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("control");
    QTest::addColumn<bool>("released");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("logLine");

    auto key = [](int type, int control, bool released, const char *line) {
        QTest::addRow("%d", type) << quint64(type) << int(Kind::Key) << control << released
                                  << QString() << QString(line);
    };
    auto wheel = [](int type, int control, const char *direction, const char *line) {
        QTest::addRow("%d", type) << quint64(type) << int(Kind::Wheel) << control << false
                                  << QString(direction) << QString(line);
    };
    key(0, 0, false, "C_MID_MOUSE_MSG");
    key(1, 0, true, "C_MID_MOUSE_MSG");
    wheel(2, 4, "down", "C_SLIDER_MOUSE_WHEEL");
    wheel(3, 4, "up", nullptr);
    key(4, 2, false, "C_SLIDER_MOUSE_BEFORE");
    key(5, 2, true, "C_SLIDER_MOUSE_BEFORE");
    key(6, 3, false, "C_SLIDER_MOUSE_BEHIND");
    key(7, 3, true, "C_SLIDER_MOUSE_BEHIND");
    key(8, 5, false, "C_RIGHT_MOUSE_MSG");
    key(9, 5, true, "C_RIGHT_MOUSE_MSG");
    wheel(10, 1, "down", "C_MID_MOUSE_WHEEL_DOWN");
    wheel(11, 1, "up", "C_MID_MOUSE_WHEEL_UP");
    for (quint64 ignored : {quint64(12), quint64(wParamOf(-1)), quint64(1124), quint64(0x8000)})
        QTest::addRow("ignored %llu", ignored)
            << ignored << int(Kind::Ignored) << -1 << false << QString() << QString();
}

void TestRouting::routeTable()
{
    QFETCH(quint64, msgType);
    QFETCH(int, kind);
    QFETCH(int, control);
    QFETCH(bool, released);
    QFETCH(QString, direction);
    QFETCH(QString, logLine);
    const MainWindow::Route r = MainWindow::routeFor(std::uintptr_t(msgType));
    QCOMPARE(int(r.kind), kind);
    QCOMPARE(r.control, control);
    QCOMPARE(r.released, released);
    QCOMPARE(QString::fromLatin1(r.direction), direction);
    QCOMPARE(QString::fromLatin1(r.logLine), logLine);
}

void TestRouting::eachCodeReachesItsControl_data()
{
    QTest::addColumn<int>("msgType");
    QTest::addColumn<QString>("logLine"); // empty: none
    QTest::addColumn<QStringList>("effects");
    QTest::newRow("0 middle press") << 0 << "C_MID_MOUSE_MSG" << QStringList{"mouse 0x20 0"};
    QTest::newRow("1 middle release") << 1 << "C_MID_MOUSE_MSG" << QStringList{"mouse 0x40 0"};
    QTest::newRow("2 side wheel left")
        << 2 << "C_SLIDER_MOUSE_WHEEL" << QStringList{"mute 0", "volume 0.49"};
    QTest::newRow("3 side wheel right") << 3 << "" << QStringList{"mute 0", "volume 0.51"};
    QTest::newRow("4 side up press") << 4 << "C_SLIDER_MOUSE_BEFORE" << QStringList{"mouse 0x80 2"};
    QTest::newRow("5 side up release")
        << 5 << "C_SLIDER_MOUSE_BEFORE" << QStringList{"mouse 0x100 2"};
    QTest::newRow("6 side down press")
        << 6 << "C_SLIDER_MOUSE_BEHIND" << QStringList{"mouse 0x80 1"};
    QTest::newRow("7 side down release")
        << 7 << "C_SLIDER_MOUSE_BEHIND" << QStringList{"mouse 0x100 1"};
    QTest::newRow("8 right press") << 8 << "C_RIGHT_MOUSE_MSG" << QStringList{"mouse 0x8 0"};
    QTest::newRow("9 right release") << 9 << "C_RIGHT_MOUSE_MSG" << QStringList{"mouse 0x10 0"};
    QTest::newRow("10 wheel down")
        << 10 << "C_MID_MOUSE_WHEEL_DOWN" << QStringList{"key 0xB0 1", "key 0xB0 3"};
    QTest::newRow("11 wheel up") << 11 << "C_MID_MOUSE_WHEEL_UP"
                                 << QStringList{"key 0xB1 1", "key 0xB1 3"};
    QTest::newRow("12") << 12 << "" << QStringList();
    QTest::newRow("-1") << -1 << "" << QStringList();
    QTest::newRow("-2") << -2 << "" << QStringList();
    QTest::newRow("100") << 100 << "" << QStringList();
}

void TestRouting::eachCodeReachesItsControl()
{
    QFETCH(int, msgType);
    QFETCH(QString, logLine);
    QFETCH(QStringList, effects);
    makeWindow();
    LogCapture log;
    SingletonGlobalMouseHook::instance()->emitMouseHookParam(msgType, -1);
    QCOMPARE(m_fakes->nativeMessages->queuedCount(), std::size_t(1));
    deliverPosted(*m_window);

    QCOMPARE(m_fakes->effects(), effects);
    QCOMPARE(log.lines().count(QStringLiteral("MainWindow::onHookMouseMsg %1 -1").arg(msgType)), 1);
    QCOMPARE(routingLineCount(log.lines()), logLine.isEmpty() ? 0 : 1);
    if (!logLine.isEmpty())
        QVERIFY(log.lines().contains(logLine));
}

void TestRouting::middleClickIsPressThenRelease()
{
    makeWindow();
    LogCapture log;
    SingletonGlobalMouseHook::instance()->emitMouseHookParam(0, -1);
    deliverPosted(*m_window);
    SingletonGlobalMouseHook::instance()->emitMouseHookParam(1, -1);
    deliverPosted(*m_window);

    const QStringList lines = log.lines();
    const int hook0 = lines.indexOf("MainWindow::onHookMouseMsg 0 -1");
    const int route0 = lines.indexOf("C_MID_MOUSE_MSG", hook0);
    const int hook1 = lines.indexOf("MainWindow::onHookMouseMsg 1 -1", route0);
    const int route1 = lines.indexOf("C_MID_MOUSE_MSG", hook1);
    QVERIFY(hook0 >= 0);
    QVERIFY(route0 > hook0);
    QVERIFY(hook1 > route0);
    QVERIFY(route1 > hook1);
    QCOMPARE(m_fakes->effects(), (QStringList{"mouse 0x20 0", "mouse 0x40 0"}));
}

void TestRouting::nothingIsRoutedBeforeTheMessageComesBack()
{
    makeWindow();
    LogCapture log;
    SingletonGlobalMouseHook::instance()->emitMouseHookParam(8, -1);
    SingletonGlobalMouseHook::instance()->emitMouseHookParam(9, -1);
    // Posted to the window's own native window, in order, with the code as wParam.
    const auto calls = m_fakes->nativeMessages->postCalls();
    QCOMPARE(calls.size(), std::size_t(2));
    for (std::size_t i = 0; i < calls.size(); ++i) {
        QCOMPARE(calls[i].window, std::uintptr_t(m_window->winId()));
        QCOMPARE(calls[i].message, MainWindow::kHookMessage);
        QCOMPARE(calls[i].wParam, std::uintptr_t(8 + i));
        QCOMPARE(calls[i].lParam, std::intptr_t(-1));
    }
    // Neither the dispatcher nor the routing has run yet, not even through the
    // toolkit's own queue.
    QCoreApplication::processEvents();
    QCOMPARE(m_fakes->effects(), QStringList());
    QCOMPARE(routingLineCount(log.lines()), 0);
    deliverPosted(*m_window);
    QCOMPARE(m_fakes->effects(), (QStringList{"mouse 0x8 0", "mouse 0x10 0"}));
}

void TestRouting::privateMessageFromAnyoneIsRouted_data()
{
    QTest::addColumn<quint64>("wParam");
    QTest::addColumn<QStringList>("effects");
    QTest::newRow("3 is the side wheel to the right")
        << quint64(3) << QStringList{"mute 0", "volume 0.51"};
    QTest::newRow("12 is ignored") << quint64(12) << QStringList();
    QTest::newRow("-1 is ignored") << quint64(wParamOf(-1)) << QStringList();
}

void TestRouting::privateMessageFromAnyoneIsRouted()
{
    QFETCH(quint64, wParam);
    QFETCH(QStringList, effects);
    makeWindow();
    LogCapture log;
    // Not from onHookMouseMsg: another sender's message to the window.
    platform::NativeMessage m{std::uintptr_t(m_window->winId()), MainWindow::kHookMessage,
                              std::uintptr_t(wParam), 0};
    long result = 7;
    QCOMPARE(m_window->nativeEvent(fakeEventType(), &m, &result), false);
    QCOMPARE(result, 7L);
    QCOMPARE(m_fakes->effects(), effects);
    QCOMPARE(routingLineCount(log.lines()), 0);
    if (effects.isEmpty())
        QVERIFY(!log.contains(QStringLiteral("当前的 index")));
}

void TestRouting::otherMessagesAreLeftAlone()
{
    makeWindow();
    LogCapture log;
    long result = 7;
    // Another message identifier with a routable wParam.
    platform::NativeMessage other{std::uintptr_t(m_window->winId()), MainWindow::kHookMessage + 1,
                                  0, -1};
    QCOMPARE(m_window->nativeEvent(fakeEventType(), &other, &result), false);
    // The private identifier, but an event kind the platform does not decode.
    platform::NativeMessage hook{std::uintptr_t(m_window->winId()), MainWindow::kHookMessage, 0,
                                 -1};
    QCOMPARE(m_window->nativeEvent("xcb_generic_event_t", &hook, &result), false);
    QCOMPARE(m_window->nativeEvent(fakeEventType(), nullptr, &result), false);
    QCOMPARE(result, 7L);
    QCOMPARE(m_fakes->effects(), QStringList());
    QCOMPARE(routingLineCount(log.lines()), 0);
}

void TestRouting::lostPostLosesOnlyThatEvent()
{
    makeWindow();
    m_fakes->nativeMessages->setQueueLimit(1);
    auto *hook = SingletonGlobalMouseHook::instance();
    hook->emitMouseHookParam(0, -1);
    hook->emitMouseHookParam(1, -1); // the queue is full: lost
    deliverPosted(*m_window);
    hook->emitMouseHookParam(8, -1);
    deliverPosted(*m_window);
    QCOMPARE(m_fakes->nativeMessages->postCalls().size(), std::size_t(3));
    QCOMPARE(m_fakes->effects(), (QStringList{"mouse 0x20 0", "mouse 0x8 0"}));
}

void TestRouting::queuedDeferralKeepsTheOrder_data()
{
    QTest::addColumn<bool>("withService");
    QTest::newRow("no private messages on this system") << true;
    QTest::newRow("no message service at all") << false;
}

void TestRouting::queuedDeferralKeepsTheOrder()
{
    QFETCH(bool, withService);
    m_fakes->nativeMessages->setCanPost(false);
    if (!withService)
        m_fakes->platform.nativeMessages.reset();
    makeWindow();
    LogCapture log;
    auto *hook = SingletonGlobalMouseHook::instance();
    const int codes[] = {8, 0, 3, 1, 9, 12, 6, -1, 7, 2, 11, 4, 10, 5};
    for (int code : codes)
        hook->emitMouseHookParam(code, -1);
    // Deferred: nothing happened inside the emissions.
    QCOMPARE(m_fakes->effects(), QStringList());
    QCOMPARE(routingLineCount(log.lines()), 0);
    if (withService)
        QCOMPARE(m_fakes->nativeMessages->postCalls().size(), std::size_t(0));

    QTRY_COMPARE(m_fakes->effects().size(), 16);
    const QStringList expected = {"mouse 0x8 0",  "mouse 0x20 0", "mute 0",       "volume 0.51",
                                  "mouse 0x40 0", "mouse 0x10 0", "mouse 0x80 1", "mouse 0x100 1",
                                  "mute 0",       "volume 0.50",  "key 0xB1 1",   "key 0xB1 3",
                                  "mouse 0x80 2", "key 0xB0 1",   "key 0xB0 3",   "mouse 0x100 2"};
    // Input and audio are recorded apart; compare each in order.
    QStringList input, audio;
    for (const QString &e : m_fakes->effects())
        (e.startsWith("mute") || e.startsWith("volume") ? audio : input) << e;
    QStringList expectedInput, expectedAudio;
    for (const QString &e : expected)
        (e.startsWith("mute") || e.startsWith("volume") ? expectedAudio : expectedInput) << e;
    QCOMPARE(input, expectedInput);
    QCOMPARE(audio, expectedAudio);

    QStringList routed;
    for (const QString &line : log.lines())
        if (routingLineCount({line}))
            routed << line;
    QCOMPARE(routed,
             (QStringList{"C_RIGHT_MOUSE_MSG", "C_MID_MOUSE_MSG", "C_MID_MOUSE_MSG",
                          "C_RIGHT_MOUSE_MSG", "C_SLIDER_MOUSE_BEHIND", "C_SLIDER_MOUSE_BEHIND",
                          "C_SLIDER_MOUSE_WHEEL", "C_MID_MOUSE_WHEEL_UP", "C_SLIDER_MOUSE_BEFORE",
                          "C_MID_MOUSE_WHEEL_DOWN", "C_SLIDER_MOUSE_BEFORE"}));
}

void TestRouting::hubWithoutListenerIsANoOp()
{
    auto *hook = SingletonGlobalMouseHook::instance();
    QCOMPARE(hook, SingletonGlobalMouseHook::instance());
    // No main window exists: nothing is posted, nothing happens.
    hook->emitMouseHookParam(0, -1);
    QCoreApplication::processEvents();
    QCOMPARE(m_fakes->nativeMessages->postCalls().size(), std::size_t(0));
    QCOMPARE(m_fakes->effects(), QStringList());
}

void TestRouting::hubPassesCodesThroughUnchanged()
{
    auto *hook = SingletonGlobalMouseHook::instance();
    QSignalSpy spy(hook, &SingletonGlobalMouseHook::sig_mouseHookParam);
    hook->emitMouseHookParam(-1, -1);
    hook->emitMouseHookParam(11, 42);
    // Synchronous: delivered inside the call.
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0), (QList<QVariant>{-1, -1}));
    QCOMPARE(spy.at(1), (QList<QVariant>{11, 42}));
}

QTEST_MAIN(TestRouting)
#include "tst_routing.moc"
