// Volume, brightness, pointer speed and session-ending actions on simulated services.
#include "actions/gammaramp.h"
#include "actions/systemactions.h"
#include "agentconffile.h"
#include "controls.h"
#include "action_table.h"
#include "fake_agent_platform.h"
#include "logcapture.h"

#include <QtTest>

#include <algorithm>
#include <functional>

using platform::AudioOpenFailure;

namespace {

const QString kModel = QStringLiteral("PL40");

struct Env
{
    SettingsFolder folder;
    const bool ready = (folder.setModel(kModel), folder.setModelValue(kModel, "SET/isConf", "Y"),
                        folder.isValid());
    FakeAgentPlatform fakes;
    agent::OpFunConfFile settings;
    SystemActions actions{fakes.platform, settings};
    platform::fake::FakeAudioSystem &audio = *fakes.audio;

    // "open console" (in-process, volume only) or "open multimedia any client".
    QStringList effects() const
    {
        QStringList out;
        for (const platform::AudioEndpointRequest &r : audio.requests())
            out << QStringLiteral("open ") +
                       (r.role == platform::AudioEndpointRequest::Role::Console ? "console"
                                                                                : "multimedia") +
                       (r.anyContext ? " any" : "") + (r.withAudioClient ? " client" : "");
        return out + fakes.effects();
    }
};

using Operation = std::function<void(SystemActions &, FakeAgentPlatform &)>;
#define OP(...)                                                                                    \
    Operation([=](SystemActions &a, [[maybe_unused]] FakeAgentPlatform &f) { __VA_ARGS__; })

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestSystemActions : public QObject
{
    Q_OBJECT

private slots:
    void actions_data()
    {
        addActionColumns<Operation>();
        const ActionRows<Operation> add;
        const auto step = [](float volume, bool muted, int direction) {
            return OP(f.audio->device = {volume, muted}; a.volumeStep(direction));
        };

        // One percent up (0) or down (1), unmuting first; nothing past 0 or 100.
        const QString console = QStringLiteral("open console");
        const QStringList logs{"f_Volume one", "iVol", "iVol set"}, quiet{"iVol", "!iVol set"};
        add("up from half", step(0.5f, false, 0), {console, "mute 0", "volume 0.51"}, {}, logs);
        add("down, muted", step(0.5f, true, 1), {console, "mute 0", "volume 0.49"}, {}, logs);
        add("up from 0.995", step(0.995f, false, 0), {console, "mute 0", "volume 1.00"});
        add("up at full", step(1.0f, true, 0), {console}, {}, quiet);
        add("up from zero", step(0.0f, true, 0), {console, "mute 0", "volume 0.01"});
        add("down at zero", step(0.0f, true, 1), {console}, {}, quiet);
        add("down below one percent", step(0.004f, true, 1), {console});
        // A level just under a whole percent counts as that percent.
        add("rounding", step(0.29995f, false, 0), {console, "mute 0", "volume 0.31"});
        add("direction 2", step(0.5f, true, 2), {console}, {}, quiet);
        add("mute toggles", OP(a.toggleMute(); a.toggleMute()),
            {"open multimedia any client", "open multimedia any client", "mute 1", "mute 0"});

        // Without the output or its state nothing changes (a step would land on an
        // arbitrary level), and the mute toggle says which call failed.
        const std::pair<AudioOpenFailure, const char *> failures[] = {
            {AudioOpenFailure::CreateEnumerator, "CoCreateInstance"},
            {AudioOpenFailure::DefaultEndpoint, "GetDefaultAudioEndpoint"},
            {AudioOpenFailure::Activate, "pDevice->Active"},
            {AudioOpenFailure::None, "GetMute"}}; // opened, state unreadable
        for (const auto &x : failures)
            add(QByteArray("failure ") + x.second,
                OP(f.audio->setOpenFailure(x.first);
                   f.audio->setReadFails(x.first == AudioOpenFailure::None); a.volumeStep(0);
                   a.volumeStep(1); a.toggleMute()),
                {console, console, "open multimedia any client"}, {}, {x.second});
        add("mute refused", OP(f.audio->setSetMuteFails(true); a.toggleMute()),
            {"open multimedia any client"}, {}, {"SetMute"});

        // The main speed, then the second one, whatever was found; 1 to 20 only.
        const auto speed = [](int control) {
            return OP(bool t = false; a.togglePointerSpeed(control, t));
        };
        add("right main, fastest", speed(5), {"speed 20"}, {"PATH/right_main_speed=20"});
        add("side up main, slowest", speed(2), {"speed 1"}, {"PATH/slider_up_main_speed=1"});
        add("reads main, not second", speed(0), {}, {"PATH/mid_self_speed=9"});
        add("missing", speed(5), {}, {}, {"mouse_speed"});
        for (const char *value : {"fast", "0", "21"})
            add(QByteArray("main speed ") + value, speed(0), {},
                {QStringLiteral("PATH/mid_main_speed=") + value});
        for (int control : {1, 9})
            add("control " + QByteArray::number(control), speed(control), {},
                {"PATH/mid_main_speed=7"});
        add("second after a missing main",
            OP(bool t = false; a.togglePointerSpeed(0, t); a.togglePointerSpeed(0, t)), {"speed 18"},
            {"PATH/mid_self_speed=18"});
        // One toggle for all keys: main, second, main, second... whichever key asks.
        add("shared toggle",
            OP(bool t = false; a.togglePointerSpeed(0, t); a.togglePointerSpeed(5, t);
               a.togglePointerSpeed(5, t); a.togglePointerSpeed(0, t); a.togglePointerSpeed(0, t)),
            {"speed 3", "speed 14", "speed 13", "speed 4", "speed 3"},
            {"PATH/mid_main_speed=3", "PATH/mid_self_speed=4", "PATH/right_main_speed=13",
             "PATH/right_self_speed=14"});

        // Only hung programs are forced (0x10), never all (0x04).
        const auto exit = [](int kind, bool versionFails = false, int platformId = 2,
                             bool privilegeFails = false) {
            return OP(f.power->setVersionFails(versionFails);
                      f.power->setVersion({10, 0, 19045, std::uint32_t(platformId)});
                      f.power->setPrivilegeFails(privilegeFails); a.exitWindows(kind));
        };
        // Each kind's plain exit, and the lock, are checked through the dispatcher.
        add("unknown kinds", OP(a.exitWindows(3); a.exitWindows(-1)), {});
        add("version unknown", exit(1, true), {"version"});
        add("not NT: no privilege", exit(1, false, 1), {"version", "exit 0x11 0"});
        add("privilege refused", exit(2, false, 2, true), {"version", "privilege", "exit 0x12 0"});
    }
    void actions()
    {
        QFETCH(Operation, operation);
        QFETCH(QStringList, values);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, logged);
        Env e;
        QVERIFY(e.ready);
        for (const QString &value : values)
            e.folder.setModelValue(kModel, value.section('=', 0, 0), value.section('=', 1));

        LogCapture log;
        operation(e.actions, e.fakes);
        QCOMPARE(e.effects(), expected);
        QCOMPARE(e.audio.openEndpoints(), 0);
        verifyLogged(log, logged);
    }
    // COM set up at construction and per step; each step's two changes share an event
    // context of their own, the mute toggle has none.
    void audioContexts()
    {
        Env e;
        QCOMPARE(e.audio.comInitializations(), 1);
        e.actions.volumeStep(0);
        e.actions.volumeStep(1);
        e.actions.toggleMute();
        QCOMPARE(e.audio.comInitializations(), 3);
        const auto &contexts = e.audio.createdContexts();
        QCOMPARE(contexts.size(), std::size_t(2));
        QVERIFY(contexts[0].bytes != contexts[1].bytes);
        const auto &changes = e.audio.changes();
        QCOMPARE(changes.size(), std::size_t(5));
        for (std::size_t i = 0; i < 4; ++i)
            QVERIFY(changes[i].hasContext && changes[i].context.bytes == contexts[i / 2].bytes);
        QVERIFY(!changes[4].hasContext);
    }
    // Entry i is min(i × (2 × level + 128), 65535) in every colour, level in 0..100.
    void rampForLevel()
    {
        const int cases[][3] = {{0, 255, 32640},   {50, 1, 228},       {64, 128, 32768},
                                {100, 200, 65535}, {-20, 255, 32640}, {250, 199, 65272}};
        for (const auto &c : cases) {
            const platform::GammaRamp ramp = brightness::rampForLevel(c[0]);
            QCOMPARE(int(ramp.red[std::size_t(c[1])]), c[2]);
            QVERIFY(ramp.green == ramp.red && ramp.blue == ramp.red);
            QVERIFY(std::is_sorted(ramp.red.begin(), ramp.red.end()));
        }
    }
    void brightness_data()
    {
        QTest::addColumn<bool>("resolvable");
        QTest::addColumn<bool>("deviceContext");
        QTest::addColumn<bool>("accepts");
        for (const char *flags : {"111", "011", "101", "110"})
            QTest::newRow(flags) << (flags[0] == '1') << (flags[1] == '1') << (flags[2] == '1');
    }
    // From 50 in steps of one within 0..100; the level follows the steps even where the
    // display cannot show them, and the display is looked up once.
    void brightness()
    {
        QFETCH(bool, resolvable);
        QFETCH(bool, deviceContext);
        QFETCH(bool, accepts);
        Env e;
        auto &gamma = *e.fakes.gamma;
        gamma.setResolvable(resolvable);
        gamma.setNoDeviceContext(!deviceContext);
        gamma.setRefusesRamps(!accepts);
        const bool shown = resolvable && deviceContext && accepts;
        const auto steps = [&](int count, bool up) {
            for (int i = 0; i < count; ++i)
                e.actions.brightnessStep(up);
            return e.actions.brightnessLevel();
        };

        QCOMPARE(e.actions.brightnessLevel(), 50);
        LogCapture log;
        QCOMPARE(steps(1, true), 51);
        QVERIFY(log.contains(QStringLiteral("当前亮度")));
        QCOMPARE(int(gamma.current().red[255]), shown ? 255 * (2 * 51 + 128) : 0);
        QCOMPARE(steps(55, false), 0);
        QCOMPARE(int(gamma.current().blue[255]), shown ? 32640 : 0);
        QCOMPARE(steps(105, true), 100);
        QCOMPARE(int(gamma.current().green[200]), shown ? 65535 : 0);
        QCOMPARE(steps(1, false), 99);
        QCOMPARE(gamma.appliedRamps().size(), std::size_t(resolvable && deviceContext ? 162 : 0));
        QCOMPARE(gamma.loadAttempts(), 1);
        // Where nothing can show it, that is said once, not at every step.
        QCOMPARE(log.lines().filter(QStringLiteral("Brightness control: not available")).size(),
                 shown ? 0 : 1);
    }

    void pointerSpeedTheDesktopRefusesIsSaidOnce()
    {
        Env e;
        e.folder.setModelValue(kModel, "PATH/right_main_speed", "7");
        e.folder.setModelValue(kModel, "PATH/right_self_speed", "9");
        e.fakes.pointerSpeed->setRefuses(true);
        LogCapture log;
        bool toggle = false;
        for (int i = 0; i < 3; ++i)
            e.actions.togglePointerSpeed(controls::RightKey, toggle);
        QCOMPARE(e.fakes.pointerSpeed->requests(), (std::vector<int>{7, 9, 7}));
        QCOMPARE(log.lines().filter(QStringLiteral("Mouse speed: not available")).size(), 1);
    }
};

QTEST_MAIN(TestSystemActions)
#include "tst_systemactions.moc"
