// The application switchers, tab switching in dialog boxes, maximising and
// minimising the foreground window, and the desktop toggle, against recording
// fakes. The holds' run-outs are driven through their slots, only while the hold
// runs (as the real time-out would); one short case uses the real timers.
#include "actions/cdesktopwithwindow.h"
#include "fake_agent_platform.h"
#include "logcapture.h"

#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// The effects of a sequence written as codes: 'A'/'a' Alt down/up, 'X' Alt down
// (extended), 'S'/'s' Shift down/up, 'T' a wheel step's Tab, 'U' a key step's Tab;
// 'C'/'c' Ctrl and 'H'/'h' Shift down/up and 'E' a Tab, all extended; 'M'/'m'
// maximising/minimising the window in front, 'D' the desktop toggle.
QStringList events(const QString &codes)
{
    static const QStringList table =
        QString("A=key 0xA4 0;X=key 0xA4 1;a=key 0xA4 2;S=key 0xA0 0;s=key 0xA0 2;"
                "T=key 0x9 0|pause 50|key 0x9 2;U=pause 50|key 0x9 1|pause 50|key 0x9 3;"
                "C=key 0xA2 1;c=key 0xA2 3;H=key 0xA0 1;h=key 0xA0 3;E=key 0x9 1|key 0x9 3;"
                "M=show 3 on front;m=show 6 on front;D=toggle desktop")
            .split(';');
    QStringList out;
    for (const QChar c : codes)
        for (const QString &entry : table)
            if (entry[0] == c)
                out += entry.mid(2).split('|');
    return out;
}

// "101": whether the key, wheel forward and wheel backward holds run.
QString holds(const CDesktopWithWindow &d)
{
    return QString::number(d.keySwitchTimer()->isActive()) +
           QString::number(d.wheelForwardTimer()->isActive()) +
           QString::number(d.wheelBackwardTimer()->isActive());
}

} // namespace

class TestSwitching : public QObject
{
    Q_OBJECT

private slots:
    void actions_data();
    void actions();
    void holdTimersAreWiredAndRearmed();
};

void TestSwitching::actions_data()
{
    QTest::addColumn<QString>("title"); // of the window in front; null: none
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("zoomed");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("holdsAfter");
    QTest::addColumn<QString>("released"); // when the switcher goes
    const QString title = QStringLiteral("Document - Editor");
    const auto win = [](const char *name, const QString &title, const char *cls, bool zoomed,
                        const char *script, const char *expected) {
        QTest::newRow(name) << title << cls << zoomed << script << expected << "000"
                            << "";
    };
    const auto sw = [&](const char *name, const char *script, const char *expected,
                        const char *holdsAfter, const char *released) {
        QTest::newRow(name) << title << "Notepad" << false << script << expected << holdsAfter
                            << released;
    };

    // Script: 'k' key switcher step, 'n'/'p' wheel next/previous, 'K', 'F', 'B' the
    // key, wheel forward (Alt) and wheel backward (Shift) hold running out. Alt,
    // and Shift for previous, is pressed once and held while the steps go on;
    // whatever is held when the switcher goes is released, Shift first.
    sw("nothing", "", "", "000", "");
    sw("key step", "k", "XU", "100", "a");
    sw("three key steps, one Alt", "kkkK", "XUUUa", "000", "");
    sw("key step after the hold ran out", "kKk", "XUaXU", "100", "a");
    sw("next steps, one Alt", "nnnF", "ATTTa", "000", "");
    sw("previous: Alt, then Shift", "p", "AST", "011", "sa");
    sw("previous, Alt's hold ran out", "pF", "ASTa", "001", "s");
    sw("previous, both holds ran out", "pFB", "ASTas", "000", "");
    sw("previous, next: Shift up before the Tab", "pn", "ASTsT", "010", "a");
    sw("next, previous adds Shift", "np", "ATST", "011", "sa");
    sw("previous after Alt's hold ran out", "pFp", "ASTaAT", "011", "sa");
    sw("previous, next, previous", "pnp", "ASTsTST", "011", "sa");
    sw("next after Shift's hold ran out", "pBn", "ASTsT", "010", "a");
    sw("both switchers", "kn", "XUAT", "110", "aa");
    sw("switchers keep their own state", "knK", "XUATa", "010", "a");
    sw("all holds ran out", "kpKFB", "XUASTaas", "000", "");

    // 't'/'T' Ctrl+(Shift+)Tab, only in a dialog box; '3'/'6'/'9' show commands:
    // maximise and minimise except the desktop, never maximise the configurator or
    // a maximised window. 'd' toggles the desktop.
    const char *cls = "Notepad";
    win("dialog, next tab", title, "#32770", false, "t", "CEc");
    win("dialog, previous tab", title, "#32770", false, "T", "CHEhc");
    win("no tabs elsewhere", title, "Chrome_WidgetWin_1", false, "tT", "");
    win("no tabs, longer class", title, "#327700", false, "t", "");
    win("no tabs, shorter class", title, "#3277", false, "T", "");
    win("maximise", title, cls, false, "3", "M");
    win("minimise", title, cls, false, "6", "m");
    win("maximise, already maximised", title, cls, true, "3", "");
    win("minimise a maximised window", title, cls, true, "6", "m");
    win("the desktop", "Program Manager", "Progman", false, "36", "");
    win("the desktop worker", "", "WorkerW", false, "36", "");
    win("the configurator", "VelkoOptionsGUI", "Qt5QWindowIcon", false, "36", "m");
    win("a Qt own-DC window", title, "Qt5QWindowOwnDCIcon", false, "36", "m");
    win("titles compare with case", "program manager", cls, false, "3", "M");
    win("classes compare exactly", title, "WorkerWindow", false, "6", "m");
    win("another show command", title, cls, false, "9", "");
    win("no window", QString(), "", false, "tT369", ""); // ShowWindow(NULL) does nothing
    win("desktop toggle", title, cls, false, "dd", "DD");
}

void TestSwitching::actions()
{
    QFETCH(QString, title);
    QFETCH(QString, className);
    QFETCH(bool, zoomed);
    QFETCH(QString, script);
    QFETCH(QString, expected);
    QFETCH(QString, holdsAfter);
    QFETCH(QString, released);
    FakeAgentPlatform fakes;
    fakes.windows->addWindow(0, "Other", {0, 0, 100, 100}); // topmost, not in front
    platform::WindowId front = 0;
    if (!title.isNull()) {
        front = fakes.windows->addWindow(0, className.toStdString(), {10, 10, 400, 300}, 0,
                                         title.toStdString());
        fakes.windows->setZoomed(front, zoomed);
        fakes.windows->setForeground(front);
    }
    auto d = std::make_unique<CDesktopWithWindow>(fakes.platform);
    const QTimer *timers[] = {d->keySwitchTimer(), d->wheelForwardTimer(), d->wheelBackwardTimer()};
    const char *runOuts[] = {"onStopSwitchWindow", "onWheelForwardStopSwitchApp",
                             "onWheelBackwardStopSwitchApp"};

    LogCapture log;
    for (const QChar c : script) {
        const int hold = QStringLiteral("KFB").indexOf(c);
        if (hold >= 0) {
            QVERIFY2(timers[hold]->isActive(), "a hold ran out that was not running");
            QMetaObject::invokeMethod(d.get(), runOuts[hold]);
        } else if (c == 'k' || c == 'n' || c == 'p') {
            c == 'k' ? d->switchWindow() : d->wheelSwitchApp(c == 'n');
        } else if (c == 't' || c == 'T') {
            d->tabSwitch(c == 'T');
        } else {
            c == 'd' ? d->showDesktop() : d->setForegroundState(c.digitValue());
        }
    }
    QStringList effects;
    for (QString effect : fakes.effects())
        if (!effect.endsWith(" on 0x0"))
            effects << effect.replace("0x" + QString::number(front, 16).toUpper(), "front");
    QCOMPARE(effects, events(expected));
    QCOMPARE(holds(*d), holdsAfter);
    const QStringList current = log.lines().filter(QStringLiteral("currentText"));
    QCOMPARE(current.size(), script.count(QRegularExpression("[369]")));
    QVERIFY(current.isEmpty() || current.first().contains(className));

    fakes.clearEffects();
    d.reset();
    QCOMPARE(fakes.effects(), events(released));
}

// The one case on real timers: each hold is 2.5 s from the last step that re-arms
// it (key steps the key hold, next steps Alt's, previous steps only Shift's), and
// each timer's time-out runs its slot, which logs the key it releases.
void TestSwitching::holdTimersAreWiredAndRearmed()
{
    FakeAgentPlatform fakes;
    CDesktopWithWindow d(fakes.platform);
    d.switchWindow();
    d.wheelSwitchApp(false);
    QTest::qWait(600);
    d.switchWindow();
    d.wheelSwitchApp(false);
    QVERIFY(d.keySwitchTimer()->remainingTime() > 2250);
    QVERIFY(d.wheelBackwardTimer()->remainingTime() > 2250);
    QVERIFY(d.wheelForwardTimer()->remainingTime() < 2150);
    d.wheelSwitchApp(true);
    QVERIFY(d.wheelForwardTimer()->remainingTime() > 2250);

    fakes.clearEffects();
    LogCapture log;
    for (const QTimer *t : {d.keySwitchTimer(), d.wheelForwardTimer(), d.wheelBackwardTimer()}) {
        QCOMPARE(t->interval(), 2500);
        QMetaObject::invokeMethod(const_cast<QTimer *>(t), "timeout");
    }
    QCOMPARE(fakes.effects(), events("aas"));
    QCOMPARE(log.lines(),
             (QStringList{"恢复按键弹起", "恢复按键弹起 VK_LMENU", "恢复按键弹起 VK_SHIFT"}));
    QCOMPARE(holds(d), QStringLiteral("000"));
}

QTEST_GUILESS_MAIN(TestSwitching)
#include "tst_switching.moc"
