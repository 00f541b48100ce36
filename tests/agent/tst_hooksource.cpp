// The low-level hook as the agent's second source: what each hooked event means,
// what the agent reads as assigned, and the hand-over from the hook's thread.
#include "agentconffile.h"
#include "fake_agent_platform.h"
#include "hooksource.h"

#include <QtTest>

#include <thread>

using platform::MouseHookButton;
using platform::MouseHookEvent;

namespace {

// "R+" "M-" "B+" "F-": a button's press or release (right, middle, back, forward);
// "W120" "H-240": a wheel turn; a leading "i" marks it injected.
MouseHookEvent parse(QString token)
{
    MouseHookEvent e;
    e.injected = token.startsWith('i');
    if (e.injected)
        token.remove(0, 1);
    const QChar what = token.at(0);
    if (what == 'W' || what == 'H') {
        e.kind = what == 'W' ? MouseHookEvent::Kind::Wheel : MouseHookEvent::Kind::HorizontalWheel;
        e.delta = token.mid(1).toInt();
        return e;
    }
    e.kind = token.endsWith('+') ? MouseHookEvent::Kind::ButtonDown : MouseHookEvent::Kind::ButtonUp;
    e.button = MouseHookButton(QString("RMBF").indexOf(what));
    return e;
}

// "=RW": from here on the right key and the middle wheel are assigned ("=" none).
ControlBits assignment(const QString &token)
{
    const std::pair<QChar, int> letters[] = {{'M', controls::MidKey},     {'W', controls::MidWheel},
                                             {'F', controls::SideUpKey},  {'B', controls::SideDownKey},
                                             {'H', controls::SideWheel},  {'R', controls::RightKey}};
    ControlBits assigned = 0;
    for (const auto &l : letters)
        assigned |= token.contains(l.first) ? ControlBits(1u << l.second) : 0;
    return assigned;
}

} // namespace

class TestHookSource : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("results"); // per event: "p" let on, "s<keys>" swallowed
        const QString six = "R+ R- M+ M- B+ B- F+ F- W120 W-120 H120 H-120";
        QTest::newRow("each control as the driver gives it")
            << "=RMBFWH " + six << "s1 s2 s3 s4 s5 s6 s7 s8 s9 s10 s11 s12";
        QTest::newRow("unassigned controls pass") << "= " + six << "p p p p p p p p p p p p";
        QTest::newRow("injected events pass") << "=RMBFWH iR+ iR- iB+ iW120 iH-120" << "p p p p p";
        QTest::newRow("a release goes the way its press went")
            << "=R R+ = R- F+ =F F- R-" << "s1 s2 p p p";
        QTest::newRow("parts of a notch add up, a turn back starts again, at most 8 a turn")
            << "=W W40 W40 W40 W100 W-100 W-20 W1200" << "s s s9 s s s10 s9,9,9,9,9,9,9,9";
    }
    void rules()
    {
        QFETCH(QString, events);
        QFETCH(QString, results);
        HookRules rules;
        ControlBits assigned = 0;
        QStringList seen;
        for (const QString &token : events.split(' ')) {
            if (token.startsWith('=')) {
                assigned = assignment(token);
                continue;
            }
            const HookRules::Decision d = rules.decide(parse(token), assigned);
            QStringList keys;
            for (int i = 0; i < d.count; ++i)
                keys << QString::number(d.key);
            QVERIFY2(d.swallow || keys.isEmpty(), qPrintable(token));
            seen << (d.swallow ? "s" + keys.join(',') : "p");
        }
        QCOMPARE(seen.join(' '), results);
    }

    void assignedFromTheSettings()
    {
        SettingsFolder folder;
        folder.setModel("QX210");
        folder.setModelValues("QX210", {{"SET/Mid_key", "none-48-midKey"},
                                        {"SET/Right_key", "Copy-12-rightKey"},
                                        {"SET/Side_upkey", "Key combination-48-slideUpKey"},
                                        {"SET/Side_upkey_combination", "Ctrl+C"},
                                        {"SET/Mid_wheel", "none-9-midWheel"},
                                        {"PROGRAMS/count", "1"},
                                        {"PROGRAM1/program", "gimp"},
                                        {"PROGRAM1/name", "gimp"},
                                        {"PROGRAM1/Side_downkey", "Paste-14-slideDownKey"}});
        agent::OpFunConfFile settings;
        QCOMPARE(HookSource::assignedControls(settings), assignment("RFB"));
    }

    void aBurstArrivesWholeAndInOrder()
    {
        SettingsFolder folder;
        folder.setModel("QX210");
        folder.setModelValue("QX210", "SET/Right_key", "Copy-12-rightKey");
        platform::fake::FakeMouseHook hook;
        HookSource source(hook);
        QVector<int> keys;
        connect(&source, &HookSource::mouseClicked, this, [&](int key) { keys << key; });
        QVERIFY(source.start());
        constexpr int kEvents = 10000;
        int swallowed = 0;
        std::thread system([&] {
            for (int i = 0; i < kEvents; ++i)
                swallowed += hook.deliver(parse(i % 2 ? "R-" : "R+"));
        });
        QTRY_COMPARE(keys.size(), kEvents);
        system.join();
        QCOMPARE(swallowed, kEvents);
        for (int i = 0; i < kEvents; ++i)
            QCOMPARE(keys[i], i % 2 ? 2 : 1);
        source.stop();
        QVERIFY(!hook.deliver(parse("R+")));
    }
};

QTEST_GUILESS_MAIN(TestHookSource)
#include "tst_hooksource.moc"
