// Switchers, dialog tabs, show commands and the desktop toggle; holds run out
// through their slots, only while running. One case uses the real timers.
#include "actions/cdesktopwithwindow.h"
#include "fake_agent_platform.h"
#include "logcapture.h"

#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Effects as codes: A/a Alt, S/s Shift, X Alt (extended), T wheel Tab, U key Tab;
// C/c Ctrl, H/h Shift, E Tab (extended); M/m maximise/minimise front, D desktop.
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
    QString out;
    for (const QTimer *t : {d.keySwitchTimer(), d.wheelForwardTimer(), d.wheelBackwardTimer()})
        out += QString::number(t->isActive());
    return out;
}

} // namespace

class TestSwitching : public QObject
{
    Q_OBJECT

private slots:
    void actions_data()
    {
        QTest::addColumn<QString>("title"); // of the window in front; null: none
        QTest::addColumn<QString>("className");
        QTest::addColumn<bool>("zoomed");
        for (const char *column : {"script", "expected", "holdsAfter", "released"})
            QTest::addColumn<QString>(column);
        const QString title = QStringLiteral("Document - Editor");
        const auto win = [](const char *name, const QString &title, const char *cls, bool zoomed,
                            const char *script, const char *expected) {
            QTest::newRow(name) << title << cls << zoomed << script << expected << "000" << "";
        };
        const auto sw = [&](const char *name, const QString &script, const QString &expected,
                            const QString &holdsAfter, const QString &released) {
            QTest::newRow(name) << title << "Notepad" << false << script << expected << holdsAfter
                                << released;
        };

        // k key step, n/p wheel next/previous; K, F, B the key, Alt and Shift holds
        // running out. Held keys stay down across steps and go when the switcher does.
        // Rows "script expected holdsAfter released", '-' for empty.
        for (const char *row : {"- - 000 -", "k XU 100 a", "kkkK XUUUa 000 -", "nnnF ATTTa 000 -",
                                "p AST 011 sa", "pF ASTa 001 s", "pn ASTsT 010 a", "pBn ASTsT 010 a",
                                "kpKFB XUASTaas 000 -"}) {
            const QStringList f = QString(row).replace('-', "").split(' ');
            sw(row, f[0], f[1], f[2], f[3]);
        }

        // t/T Ctrl+(Shift+)Tab in dialog boxes only; 3/6/9 show commands, never on the
        // desktop, no maximising the configurator or a maximised window; d the desktop.
        const char *cls = "Notepad";
        win("dialog, next tab", title, "#32770", false, "t", "CEc");
        win("dialog, previous tab", title, "#32770", false, "T", "CHEhc");
        win("no tabs, longer class", title, "#327700", false, "tT", "");
        win("maximise", title, cls, false, "3", "M"); win("other command", title, cls, false, "9", "");
        win("maximised", title, cls, true, "36", "m");
        win("the desktop", "Program Manager", "Progman", false, "36", "");
        win("the configurator", "VelkoOptionsGUI", "Qt5QWindowIcon", false, "36", "m");
        win("titles compare with case", "program manager", cls, false, "3", "M");
        win("classes compare exactly", title, "WorkerWindow", false, "6", "m");
        win("no window", QString(), "", false, "tT369", ""); win("desktop", title, cls, false, "dd", "DD");
    }
    void actions()
    {
        QFETCH(QString, title);
        QFETCH(QString, className);
        QFETCH(bool, zoomed);
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QFETCH(QString, holdsAfter);
        QFETCH(QString, released);
        FakeAgentPlatform fakes;
        fakes.windows->addWindow(0, "Other", {0, 0, 100, 100});
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
                QVERIFY(timers[hold]->isActive());
                QMetaObject::invokeMethod(d.get(), runOuts[hold]);
            } else if (c == 'k' || c == 'n' || c == 'p')
                c == 'k' ? d->switchWindow() : d->wheelSwitchApp(c == 'n');
            else if (c == 't' || c == 'T')
                d->tabSwitch(c == 'T');
            else
                c == 'd' ? d->showDesktop() : d->setForegroundState(c.digitValue());
        }
        QStringList effects;
        for (QString effect : fakes.effects())
            if (!effect.endsWith(" on 0x0"))
                effects << effect.replace("0x" + QString::number(front, 16).toUpper(), "front");
        QCOMPARE(effects, events(expected));
        QCOMPARE(holds(*d), holdsAfter);
        // With no window in front that is said once, whatever the commands.
        QCOMPARE(log.lines().filter(QStringLiteral("not available: no window in front")).size(),
                 title.isNull() && script.contains(QRegularExpression("[369]")) ? 1 : 0);

        fakes.clearEffects();
        d.reset();
        QCOMPARE(fakes.effects(), events(released));
    }
};

QTEST_GUILESS_MAIN(TestSwitching)
#include "tst_switching.moc"
