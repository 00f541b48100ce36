// Volume, brightness, pointer speed and session-ending actions on simulated services.
#include "actions/gammaramp.h"
#include "actions/systemactions.h"
#include "agentconffile.h"
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
        add("up at full", step(1.0f, true, 0), {console}, {}, quiet);
        add("up from zero", step(0.0f, true, 0), {console, "mute 0", "volume 0.01"});
        add("down at zero", step(0.0f, true, 1), {console}, {}, quiet);
        // A level just under a whole percent counts as that percent.
        add("rounding", step(0.29995f, false, 0), {console, "mute 0", "volume 0.31"});
        add("mute toggles", OP(a.toggleMute(); a.toggleMute()),
            {"open multimedia any client", "open multimedia any client", "mute 1", "mute 0"});

        // Without the output or its state nothing changes (a step would land on an
        // arbitrary level), and the mute toggle says which call failed.
        const std::pair<AudioOpenFailure, const char *> failures[] = {
            {AudioOpenFailure::CreateEnumerator, "CoCreateInstance"},
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
        add("reads main, not second", speed(0), {}, {"PATH/mid_self_speed=9"});
        add("missing", speed(5), {}, {}, {"mouse_speed"});
        add("main speed past 20", speed(0), {}, {"PATH/mid_main_speed=21"});
        add("a wheel's speed", speed(1), {}, {"PATH/mid_main_speed=7"});
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

};

QTEST_MAIN(TestSystemActions)
#include "tst_systemactions.moc"
