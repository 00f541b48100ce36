// The application switchers, tab switching in dialog boxes, maximising and
// minimising the foreground window, and the desktop toggle, against recording
// fakes. Most cases drive the timers' slots directly (a slot only runs where its
// timer is running, as the real timeout would); two cases wait for the real
// timers to check that they are wired and re-armed.
#include "actions/cdesktopwithwindow.h"
#include "fake_agent_platform.h"
#include "logcapture.h"

#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Readable names for the recorded key events.
const QString altDown = QStringLiteral("key 0xA4 0");
const QString altDownExt = QStringLiteral("key 0xA4 1");
const QString altUp = QStringLiteral("key 0xA4 2");
const QString shiftDown = QStringLiteral("key 0xA0 0");
const QString shiftUp = QStringLiteral("key 0xA0 2");
const QString tabDown = QStringLiteral("key 0x9 0");
const QString tabUp = QStringLiteral("key 0x9 2");
const QString tabDownExt = QStringLiteral("key 0x9 1");
const QString tabUpExt = QStringLiteral("key 0x9 3");
const QString pause50 = QStringLiteral("pause 50");

QStringList wheelTab()
{
    return {tabDown, pause50, tabUp};
}

QStringList keyTab()
{
    return {pause50, tabDownExt, pause50, tabUpExt};
}

QStringList inputOf(const FakeAgentPlatform &fakes)
{
    QStringList out;
    for (const std::string &e : fakes.input->describedEvents())
        out << QString::fromStdString(e);
    return out;
}

// "key:1 fwd:0 bwd:1": which hold timers run.
QString timerState(const CDesktopWithWindow &d)
{
    return QStringLiteral("key:%1 fwd:%2 bwd:%3")
        .arg(int(d.keySwitchTimer()->isActive()))
        .arg(int(d.wheelForwardTimer()->isActive()))
        .arg(int(d.wheelBackwardTimer()->isActive()));
}

} // namespace

class TestSwitching : public QObject
{
    Q_OBJECT

private slots:
    void switchers_data();
    void switchers();
    void timersAreArmedWithTheHoldTime();
    void keySwitcherHoldsAltUntilTheHoldRunsOut();
    void backwardStepsForFourSeconds();
    void heldModifiersAreReleasedOnDestruction_data();
    void heldModifiersAreReleasedOnDestruction();
    void tabSwitch_data();
    void tabSwitch();
    void foregroundState_data();
    void foregroundState();
    void foregroundStateWithoutForegroundWindow();
    void showDesktopTogglesOnce();
};

// A script of steps: 'k' key switcher step, 'n' wheel next, 'p' wheel previous;
// 'K', 'F', 'B' the key, wheel forward and wheel backward timer running out.
void TestSwitching::switchers_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("timersAfter");

    QTest::newRow("key step, hold runs out")
        << "kK" << QStringList{altDownExt} + keyTab() + QStringList{altUp} << "key:0 fwd:0 bwd:0";
    QTest::newRow("three key steps: one Alt, three Tabs")
        << "kkkK" << QStringList{altDownExt} + keyTab() + keyTab() + keyTab() + QStringList{altUp}
        << "key:0 fwd:0 bwd:0";
    QTest::newRow("key step after the hold ran out presses Alt again")
        << "kKk" << QStringList{altDownExt} + keyTab() + QStringList{altUp, altDownExt} + keyTab()
        << "key:1 fwd:0 bwd:0";
    QTest::newRow("one wheel step next")
        << "nF" << QStringList{altDown} + wheelTab() + QStringList{altUp} << "key:0 fwd:0 bwd:0";
    QTest::newRow("next steps keep one Alt")
        << "nnnF"
        << QStringList{altDown} + wheelTab() + wheelTab() + wheelTab() + QStringList{altUp}
        << "key:0 fwd:0 bwd:0";
    QTest::newRow("one wheel step previous: Alt and Shift, Alt goes first")
        << "pF" << QStringList{altDown, shiftDown} + wheelTab() + QStringList{altUp}
        << "key:0 fwd:0 bwd:1";
    QTest::newRow("previous then both holds run out")
        << "pFB" << QStringList{altDown, shiftDown} + wheelTab() + QStringList{altUp, shiftUp}
        << "key:0 fwd:0 bwd:0";
    QTest::newRow("backward then forward releases Shift before the Tab")
        << "pn" << QStringList{altDown, shiftDown} + wheelTab() + QStringList{shiftUp} + wheelTab()
        << "key:0 fwd:1 bwd:0";
    QTest::newRow("forward then backward adds Shift")
        << "np" << QStringList{altDown} + wheelTab() + QStringList{shiftDown} + wheelTab()
        << "key:0 fwd:1 bwd:1";
    QTest::newRow("backward after Alt's hold ran out presses Alt again, Shift still held")
        << "pFp"
        << QStringList{altDown, shiftDown} + wheelTab() + QStringList{altUp, altDown} + wheelTab()
        << "key:0 fwd:1 bwd:1";
    QTest::newRow("backward, forward, backward presses Shift again")
        << "pnp"
        << QStringList{altDown, shiftDown} + wheelTab() + QStringList{shiftUp} + wheelTab() +
               QStringList{shiftDown} + wheelTab()
        << "key:0 fwd:1 bwd:1";
    QTest::newRow("forward after Shift's hold ran out sends no Shift")
        << "pBn" << QStringList{altDown, shiftDown} + wheelTab() + QStringList{shiftUp} + wheelTab()
        << "key:0 fwd:1 bwd:0";
    QTest::newRow("key and wheel switchers keep their own state")
        << "knK"
        << QStringList{altDownExt} + keyTab() + QStringList{altDown} + wheelTab() +
               QStringList{altUp}
        << "key:0 fwd:1 bwd:0";
}

void TestSwitching::switchers()
{
    QFETCH(QString, script);
    QFETCH(QStringList, expected);
    QFETCH(QString, timersAfter);

    FakeAgentPlatform fakes;
    CDesktopWithWindow d(fakes.platform);
    for (const QChar step : script) {
        switch (step.toLatin1()) {
        case 'k':
            d.switchWindow();
            break;
        case 'n':
            d.wheelSwitchApp(true);
            break;
        case 'p':
            d.wheelSwitchApp(false);
            break;
        case 'K':
            QVERIFY2(d.keySwitchTimer()->isActive(), "the key hold is not running");
            d.onStopSwitchWindow();
            break;
        case 'F':
            QVERIFY2(d.wheelForwardTimer()->isActive(), "the forward hold is not running");
            d.onWheelForwardStopSwitchApp();
            break;
        case 'B':
            QVERIFY2(d.wheelBackwardTimer()->isActive(), "the backward hold is not running");
            d.onWheelBackwardStopSwitchApp();
            break;
        default:
            QFAIL("bad script");
        }
    }
    QCOMPARE(inputOf(fakes), expected);
    QCOMPARE(timerState(d), timersAfter);
}

void TestSwitching::timersAreArmedWithTheHoldTime()
{
    QCOMPARE(CDesktopWithWindow::kHoldMs, 2500);
    FakeAgentPlatform fakes;
    CDesktopWithWindow d(fakes.platform);
    QCOMPARE(timerState(d), QStringLiteral("key:0 fwd:0 bwd:0"));
    d.switchWindow();
    d.wheelSwitchApp(false);
    QCOMPARE(timerState(d), QStringLiteral("key:1 fwd:1 bwd:1"));
    for (const QTimer *t : {d.keySwitchTimer(), d.wheelForwardTimer(), d.wheelBackwardTimer()}) {
        QCOMPARE(t->interval(), CDesktopWithWindow::kHoldMs);
        QVERIFY(t->parent() == &d);
    }
    LogCapture log;
    d.onStopSwitchWindow();
    d.onWheelForwardStopSwitchApp();
    d.onWheelBackwardStopSwitchApp();
    QCOMPARE(log.lines(),
             (QStringList{QStringLiteral("恢复按键弹起"), QStringLiteral("恢复按键弹起 VK_LMENU"),
                          QStringLiteral("恢复按键弹起 VK_SHIFT")}));
}

// Three presses 1 s apart: Alt stays down 2.5 s after the last one, not after the
// first.
void TestSwitching::keySwitcherHoldsAltUntilTheHoldRunsOut()
{
    FakeAgentPlatform fakes;
    CDesktopWithWindow d(fakes.platform);
    d.switchWindow();
    QTest::qWait(1000);
    d.switchWindow();
    QTest::qWait(1000);
    d.switchWindow();
    QTest::qWait(1500); // 3.5 s after the first press
    QVERIFY(!inputOf(fakes).contains(altUp));
    QTRY_VERIFY_WITH_TIMEOUT(inputOf(fakes).contains(altUp), 3000);
    QCOMPARE(inputOf(fakes),
             QStringList{altDownExt} + keyTab() + keyTab() + keyTab() + QStringList{altUp});
    QVERIFY(!d.keySwitchTimer()->isActive());
}

// Backward steps every second for 4 s: Alt goes up 2.5 s after the first step
// and is pressed again by the next one; Shift stays down until 2.5 s after the
// last step.
void TestSwitching::backwardStepsForFourSeconds()
{
    FakeAgentPlatform fakes;
    CDesktopWithWindow d(fakes.platform);
    for (int i = 0; i < 5; ++i) {
        if (i)
            QTest::qWait(1000);
        d.wheelSwitchApp(false);
    }
    QVERIFY(!inputOf(fakes).contains(shiftUp));
    QTRY_VERIFY_WITH_TIMEOUT(inputOf(fakes).contains(shiftUp), 4000);
    const QStringList expected = QStringList{altDown, shiftDown} + wheelTab() + wheelTab() +
                                 wheelTab() + QStringList{altUp, altDown} + wheelTab() +
                                 wheelTab() + QStringList{altUp, shiftUp};
    QCOMPARE(inputOf(fakes), expected);
    QCOMPARE(timerState(d), QStringLiteral("key:0 fwd:0 bwd:0"));
}

void TestSwitching::heldModifiersAreReleasedOnDestruction_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("released");

    QTest::newRow("nothing held") << "" << QStringList{};
    QTest::newRow("key switcher") << "k" << QStringList{altUp};
    QTest::newRow("wheel forward") << "n" << QStringList{altUp};
    QTest::newRow("wheel backward") << "p" << QStringList{shiftUp, altUp};
    QTest::newRow("wheel backward, Alt already up") << "pF" << QStringList{shiftUp};
    QTest::newRow("both switchers") << "kn" << QStringList{altUp, altUp};
    QTest::newRow("all holds ran out") << "kpKFB" << QStringList{};
}

void TestSwitching::heldModifiersAreReleasedOnDestruction()
{
    QFETCH(QString, script);
    QFETCH(QStringList, released);

    FakeAgentPlatform fakes;
    auto d = std::make_unique<CDesktopWithWindow>(fakes.platform);
    for (const QChar step : script) {
        switch (step.toLatin1()) {
        case 'k':
            d->switchWindow();
            break;
        case 'n':
            d->wheelSwitchApp(true);
            break;
        case 'p':
            d->wheelSwitchApp(false);
            break;
        case 'K':
            d->onStopSwitchWindow();
            break;
        case 'F':
            d->onWheelForwardStopSwitchApp();
            break;
        case 'B':
            d->onWheelBackwardStopSwitchApp();
            break;
        }
    }
    fakes.input->clear();
    d.reset();
    QCOMPARE(inputOf(fakes), released);
}

void TestSwitching::tabSwitch_data()
{
    QTest::addColumn<QString>("foregroundClass");
    QTest::addColumn<bool>("previous");
    QTest::addColumn<QStringList>("expected");

    const QStringList next{"key 0xA2 1", tabDownExt, tabUpExt, "key 0xA2 3"};
    const QStringList previous{"key 0xA2 1", "key 0xA0 1", tabDownExt,
                               tabUpExt,     "key 0xA0 3", "key 0xA2 3"};
    QTest::newRow("dialog, next") << "#32770" << false << next;
    QTest::newRow("dialog, previous") << "#32770" << true << previous;
    QTest::newRow("browser") << "Chrome_WidgetWin_1" << false << QStringList{};
    QTest::newRow("browser, previous") << "MozillaWindowClass" << true << QStringList{};
    QTest::newRow("longer class") << "#327700" << false << QStringList{};
    QTest::newRow("shorter class") << "#3277" << true << QStringList{};
    QTest::newRow("no foreground window") << "" << false << QStringList{};
}

void TestSwitching::tabSwitch()
{
    QFETCH(QString, foregroundClass);
    QFETCH(bool, previous);
    QFETCH(QStringList, expected);

    FakeAgentPlatform fakes;
    if (!foregroundClass.isEmpty())
        fakes.windows->setForeground(
            fakes.windows->addWindow(0, foregroundClass.toStdString(), {10, 10, 400, 300}));
    CDesktopWithWindow d(fakes.platform);
    d.tabSwitch(previous);
    QCOMPARE(inputOf(fakes), expected);
}

void TestSwitching::foregroundState_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("zoomed");
    QTest::addColumn<int>("showCmd");
    QTest::addColumn<bool>("shown");

    const QString plainTitle = QStringLiteral("Document - Editor");
    const QString plainClass = QStringLiteral("Notepad");
    QTest::newRow("maximise") << plainTitle << plainClass << false << 3 << true;
    QTest::newRow("minimise") << plainTitle << plainClass << false << 6 << true;
    QTest::newRow("maximise, already maximised") << plainTitle << plainClass << true << 3 << false;
    QTest::newRow("minimise a maximised window") << plainTitle << plainClass << true << 6 << true;
    QTest::newRow("maximise the desktop") << "Program Manager"
                                          << "Progman" << false << 3 << false;
    QTest::newRow("minimise the desktop") << "Program Manager"
                                          << "Progman" << false << 6 << false;
    QTest::newRow("maximise the desktop worker") << ""
                                                 << "WorkerW" << false << 3 << false;
    QTest::newRow("minimise the desktop worker") << ""
                                                 << "WorkerW" << false << 6 << false;
    QTest::newRow("maximise the configurator") << "VelkoOptionsGUI"
                                               << "Qt5QWindowIcon" << false << 3 << false;
    QTest::newRow("minimise the configurator") << "VelkoOptionsGUI"
                                               << "Qt5QWindowIcon" << false << 6 << true;
    QTest::newRow("maximise a Qt own-DC window")
        << plainTitle << "Qt5QWindowOwnDCIcon" << false << 3 << false;
    QTest::newRow("minimise a Qt own-DC window")
        << plainTitle << "Qt5QWindowOwnDCIcon" << false << 6 << true;
    QTest::newRow("titles compare with case")
        << "program manager" << plainClass << false << 3 << true;
    QTest::newRow("classes compare exactly") << plainTitle << "WorkerWindow" << false << 6 << true;
    QTest::newRow("another show command") << plainTitle << plainClass << false << 9 << false;
}

void TestSwitching::foregroundState()
{
    QFETCH(QString, title);
    QFETCH(QString, className);
    QFETCH(bool, zoomed);
    QFETCH(int, showCmd);
    QFETCH(bool, shown);

    FakeAgentPlatform fakes;
    fakes.windows->addWindow(0, "Other", {0, 0, 100, 100}); // topmost, not in front
    const platform::WindowId window = fakes.windows->addWindow(
        0, className.toStdString(), {10, 10, 400, 300}, 0, title.toStdString());
    fakes.windows->setZoomed(window, zoomed);
    fakes.windows->setForeground(window);

    CDesktopWithWindow d(fakes.platform);
    LogCapture log;
    d.setForegroundState(showCmd);

    using Call = platform::fake::FakeWindowSystem::ShowWindowCall;
    const std::vector<Call> expected =
        shown ? std::vector<Call>{Call{window, showCmd}} : std::vector<Call>{};
    QVERIFY(fakes.windows->showWindowCalls() == expected);
    QCOMPARE(d.foregroundTitle(), title);
    QCOMPARE(d.foregroundClass(), className);
    QVERIFY(fakes.input->events().empty());
    QVERIFY(log.indexOf(QStringLiteral("-----")) >= 0);
    const int current = log.indexOf(QStringLiteral("currentText"));
    QVERIFY(current >= 0);
    QVERIFY(log.lines().at(current).contains(className));
}

void TestSwitching::foregroundStateWithoutForegroundWindow()
{
    FakeAgentPlatform fakes;
    CDesktopWithWindow d(fakes.platform);
    d.setForegroundState(3);
    QVERIFY(d.foregroundTitle().isEmpty());
    QVERIFY(d.foregroundClass().isEmpty());
    // Nothing useful can happen to no window; whatever is tried must not reach one.
    for (const auto &call : fakes.windows->showWindowCalls())
        QCOMPARE(call.window, platform::WindowId(0));
}

void TestSwitching::showDesktopTogglesOnce()
{
    FakeAgentPlatform fakes;
    CDesktopWithWindow d(fakes.platform);
    d.showDesktop();
    QCOMPARE(fakes.effects(), QStringList{QStringLiteral("toggle desktop")});
    d.showDesktop();
    QCOMPARE(fakes.shell->desktopToggles(), 2);
}

QTEST_GUILESS_MAIN(TestSwitching)
#include "tst_switching.moc"
