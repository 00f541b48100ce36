// The system actions against simulated services: volume steps and mute on a fake
// audio output, the brightness level and its gamma ramps, the alternating pointer
// speed, and the session-ending calls (recorded, never made).
#include "actions/gammaramp.h"
#include "actions/systemactions.h"
#include "agentconffile.h"
#include "fake_agent_platform.h"
#include "logcapture.h"

#include <QtTest>

#include <memory>

using platform::AudioOpenFailure;
using platform::fake::FakeAudioSystem;

namespace {

const QString kModel = QStringLiteral("PL40");

QStringList toStrings(const std::vector<std::string> &lines)
{
    QStringList out;
    for (const std::string &line : lines)
        out << QString::fromStdString(line);
    return out;
}

} // namespace

Q_DECLARE_METATYPE(AudioOpenFailure)

class TestSystemActions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void constructionInitialisesCom();

    void volumeStep_data();
    void volumeStep();
    void volumeStepUsesOneFreshContext();
    void volumeStepWithoutOutput_data();
    void volumeStepWithoutOutput();
    void volumeClimbsToFullAndStops();

    void toggleMute_data();
    void toggleMute();
    void toggleMuteFailures_data();
    void toggleMuteFailures();

    void rampForLevel_data();
    void rampForLevel();
    void brightnessStartsAtFiftyAndSteps();
    void brightnessDownToZeroAndNoFurther();
    void brightnessUpToHundredAndNoFurther();
    void brightnessWithoutGammaRamps_data();
    void brightnessWithoutGammaRamps();

    void pointerSpeed_data();
    void pointerSpeed();
    void pointerSpeedAlternatesAcrossControls();
    void pointerSpeedMissingMainThenSelf();

    void exitWindows_data();
    void exitWindows();
    void lockWorkStation();

private:
    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<FakeAgentPlatform> m_fakes;
    std::unique_ptr<agent::OpFunConfFile> m_settings;
    std::unique_ptr<SystemActions> m_actions;
};

void TestSystemActions::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_folder->setModel(kModel);
    m_folder->setModelValue(kModel, QStringLiteral("SET/isConf"), QStringLiteral("Y"));
    m_fakes = std::make_unique<FakeAgentPlatform>();
    m_settings = std::make_unique<agent::OpFunConfFile>();
    m_actions = std::make_unique<SystemActions>(m_fakes->platform, *m_settings);
}

void TestSystemActions::cleanup()
{
    m_actions.reset();
    m_settings.reset();
    m_fakes.reset();
    m_folder.reset();
}

void TestSystemActions::constructionInitialisesCom()
{
    QCOMPARE(m_fakes->audio->comInitializations(), 1);
    QVERIFY(m_fakes->audio->requests().empty()); // no device is touched yet
}

void TestSystemActions::volumeStep_data()
{
    QTest::addColumn<float>("before");
    QTest::addColumn<bool>("mutedBefore");
    QTest::addColumn<int>("direction");
    QTest::addColumn<bool>("changes");
    QTest::addColumn<float>("after");

    QTest::newRow("up from half") << 0.5f << false << 0 << true << 0.51f;
    QTest::newRow("down from half") << 0.5f << false << 1 << true << 0.49f;
    QTest::newRow("up from 0.995") << 0.995f << false << 0 << true << 1.0f;
    QTest::newRow("up at full") << 1.0f << false << 0 << false << 1.0f;
    QTest::newRow("up at full stays muted") << 1.0f << true << 0 << false << 1.0f;
    QTest::newRow("down from full") << 1.0f << false << 1 << true << 0.99f;
    QTest::newRow("down at zero") << 0.0f << true << 1 << false << 0.0f;
    QTest::newRow("down below one percent") << 0.004f << true << 1 << false << 0.004f;
    QTest::newRow("up from zero unmutes") << 0.0f << true << 0 << true << 0.01f;
    QTest::newRow("muted up") << 0.3f << true << 0 << true << 0.31f;
    QTest::newRow("muted down") << 0.3f << true << 1 << true << 0.29f;
    // A level just under a whole percent counts as that percent.
    QTest::newRow("rounding up") << 0.29995f << false << 0 << true << 0.31f;
    QTest::newRow("direction 2") << 0.5f << true << 2 << false << 0.5f;
    QTest::newRow("direction -1") << 0.5f << true << -1 << false << 0.5f;
}

void TestSystemActions::volumeStep()
{
    QFETCH(float, before);
    QFETCH(bool, mutedBefore);
    QFETCH(int, direction);
    QFETCH(bool, changes);
    QFETCH(float, after);
    FakeAudioSystem &audio = *m_fakes->audio;
    audio.device.volume = before;
    audio.device.muted = mutedBefore;

    LogCapture log;
    m_actions->volumeStep(direction);

    QCOMPARE(audio.device.volume, after);
    QCOMPARE(audio.device.muted, changes ? false : mutedBefore);
    QCOMPARE(audio.changes().size(), changes ? std::size_t(2) : std::size_t(0));
    QCOMPARE(audio.openEndpoints(), 0);
    QVERIFY(log.contains(QStringLiteral("f_Volume one")));
    QVERIFY(log.contains(QStringLiteral("iVol")));
    QCOMPARE(log.contains(QStringLiteral("iVol set")), changes);

    // The console role, in-process, volume interface only.
    QCOMPARE(audio.requests().size(), std::size_t(1));
    const platform::AudioEndpointRequest &request = audio.requests().front();
    QVERIFY(request.role == platform::AudioEndpointRequest::Role::Console);
    QVERIFY(!request.anyContext);
    QVERIFY(!request.withAudioClient);
}

void TestSystemActions::volumeStepUsesOneFreshContext()
{
    FakeAudioSystem &audio = *m_fakes->audio;
    audio.device.volume = 0.4f;
    audio.device.muted = true;
    m_actions->volumeStep(0);
    m_actions->volumeStep(1);

    QCOMPARE(audio.comInitializations(), 3); // construction and each step
    QCOMPARE(audio.createdContexts().size(), std::size_t(2));
    const auto &changes = audio.changes();
    QCOMPARE(changes.size(), std::size_t(4));
    using What = FakeAudioSystem::Change::What;
    // Unmute first, then the level, both under the step's own context.
    QVERIFY(changes[0].what == What::Mute && !changes[0].muted);
    QVERIFY(changes[1].what == What::Volume);
    QCOMPARE(changes[1].volume, 0.41f);
    QVERIFY(changes[2].what == What::Mute && changes[3].what == What::Volume);
    QCOMPARE(changes[3].volume, 0.40f);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        QVERIFY(changes[i].hasContext);
        QVERIFY(changes[i].context.bytes == audio.createdContexts()[i / 2].bytes);
    }
    QVERIFY(audio.createdContexts()[0].bytes != audio.createdContexts()[1].bytes);
}

void TestSystemActions::volumeStepWithoutOutput_data()
{
    QTest::addColumn<AudioOpenFailure>("openFailure");
    QTest::addColumn<bool>("readFails");

    QTest::newRow("no enumerator") << AudioOpenFailure::CreateEnumerator << false;
    QTest::newRow("no default output") << AudioOpenFailure::DefaultEndpoint << false;
    QTest::newRow("no volume interface") << AudioOpenFailure::Activate << false;
    // Without the current level a step would land on an arbitrary one.
    QTest::newRow("level unreadable") << AudioOpenFailure::None << true;
}

void TestSystemActions::volumeStepWithoutOutput()
{
    QFETCH(AudioOpenFailure, openFailure);
    QFETCH(bool, readFails);
    FakeAudioSystem &audio = *m_fakes->audio;
    audio.setOpenFailure(openFailure);
    audio.setReadFails(readFails);
    audio.device.volume = 0.5f;
    audio.device.muted = true;

    m_actions->volumeStep(0);
    m_actions->volumeStep(1);

    QVERIFY(audio.changes().empty());
    QCOMPARE(audio.device.volume, 0.5f);
    QVERIFY(audio.device.muted);
    QCOMPARE(audio.openEndpoints(), 0);
}

void TestSystemActions::volumeClimbsToFullAndStops()
{
    FakeAudioSystem &audio = *m_fakes->audio;
    audio.device.volume = 0.9f;
    for (int i = 0; i < 15; ++i)
        m_actions->volumeStep(0);
    QCOMPARE(audio.device.volume, 1.0f);
    QCOMPARE(audio.changes().size(), std::size_t(20)); // ten steps, two changes each
    for (int i = 0; i < 105; ++i)
        m_actions->volumeStep(1);
    QCOMPARE(audio.device.volume, 0.0f);
    QCOMPARE(audio.changes().size(), std::size_t(220));
}

void TestSystemActions::toggleMute_data()
{
    QTest::addColumn<bool>("mutedBefore");
    QTest::newRow("mutes") << false;
    QTest::newRow("unmutes") << true;
}

void TestSystemActions::toggleMute()
{
    QFETCH(bool, mutedBefore);
    FakeAudioSystem &audio = *m_fakes->audio;
    audio.device.muted = mutedBefore;
    audio.device.volume = 0.6f;

    m_actions->toggleMute();
    QCOMPARE(audio.device.muted, !mutedBefore);
    QCOMPARE(audio.device.volume, 0.6f);
    QCOMPARE(audio.changes().size(), std::size_t(1));
    QVERIFY(!audio.changes().front().hasContext);
    QCOMPARE(audio.openEndpoints(), 0);

    // The multimedia role, any context, with the audio client.
    const platform::AudioEndpointRequest &request = audio.requests().front();
    QVERIFY(request.role == platform::AudioEndpointRequest::Role::Multimedia);
    QVERIFY(request.anyContext);
    QVERIFY(request.withAudioClient);

    m_actions->toggleMute();
    QCOMPARE(audio.device.muted, mutedBefore);
}

void TestSystemActions::toggleMuteFailures_data()
{
    QTest::addColumn<AudioOpenFailure>("openFailure");
    QTest::addColumn<bool>("readFails");
    QTest::addColumn<bool>("setFails");
    QTest::addColumn<QString>("logged");

    QTest::newRow("enumerator") << AudioOpenFailure::CreateEnumerator << false << false
                                << "CoCreateInstance";
    QTest::newRow("default output")
        << AudioOpenFailure::DefaultEndpoint << false << false << "GetDefaultAudioEndpoint";
    QTest::newRow("activation") << AudioOpenFailure::Activate << false << false
                                << "pDevice->Active";
    QTest::newRow("state unreadable") << AudioOpenFailure::None << true << false << "GetMute";
    QTest::newRow("set refused") << AudioOpenFailure::None << false << true << "SetMute";
}

void TestSystemActions::toggleMuteFailures()
{
    QFETCH(AudioOpenFailure, openFailure);
    QFETCH(bool, readFails);
    QFETCH(bool, setFails);
    QFETCH(QString, logged);
    FakeAudioSystem &audio = *m_fakes->audio;
    audio.setOpenFailure(openFailure);
    audio.setReadFails(readFails);
    audio.setSetMuteFails(setFails);
    audio.device.muted = false;

    LogCapture log;
    m_actions->toggleMute();

    QVERIFY(!audio.device.muted);
    QVERIFY(audio.changes().empty());
    QCOMPARE(audio.openEndpoints(), 0);
    QVERIFY2(log.contains(logged), qPrintable(log.lines().join('\n')));

    // The agent goes on: once the output works again, the next toggle does.
    audio.setOpenFailure(AudioOpenFailure::None);
    audio.setReadFails(false);
    audio.setSetMuteFails(false);
    m_actions->toggleMute();
    QVERIFY(audio.device.muted);
}

void TestSystemActions::rampForLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("value");

    QTest::newRow("0: first") << 0 << 0 << 0;
    QTest::newRow("0: second") << 0 << 1 << 128;
    QTest::newRow("0: last, half brightness") << 0 << 255 << 32640;
    QTest::newRow("50: second") << 50 << 1 << 228;
    QTest::newRow("50: last") << 50 << 255 << 58140;
    QTest::newRow("64: identity middle") << 64 << 128 << 32768;
    QTest::newRow("64: identity last") << 64 << 255 << 65280;
    QTest::newRow("100: below the clip") << 100 << 199 << 65272;
    QTest::newRow("100: clipped from 200") << 100 << 200 << 65535;
    QTest::newRow("100: last") << 100 << 255 << 65535;
    QTest::newRow("below range clamps to 0") << -20 << 255 << 32640;
    QTest::newRow("above range clamps to 100") << 250 << 199 << 65272;
}

void TestSystemActions::rampForLevel()
{
    QFETCH(int, level);
    QFETCH(int, entry);
    QFETCH(int, value);
    const platform::GammaRamp ramp = brightness::rampForLevel(level);
    const auto i = std::size_t(entry);
    QCOMPARE(int(ramp.red[i]), value);
    QCOMPARE(int(ramp.green[i]), value);
    QCOMPARE(int(ramp.blue[i]), value);
    // Never decreasing, so the screen keeps its order of tones.
    for (std::size_t k = 1; k < ramp.red.size(); ++k)
        QVERIFY(ramp.red[k] >= ramp.red[k - 1]);
}

void TestSystemActions::brightnessStartsAtFiftyAndSteps()
{
    QCOMPARE(m_actions->brightnessLevel(), 50);
    LogCapture log;
    m_actions->brightnessStep(true);
    QCOMPARE(m_actions->brightnessLevel(), 51);
    QVERIFY(log.contains(QStringLiteral("当前亮度")));
    m_actions->brightnessStep(false);
    m_actions->brightnessStep(false);
    QCOMPARE(m_actions->brightnessLevel(), 49);

    const auto &applied = m_fakes->gamma->appliedRamps();
    QCOMPARE(applied.size(), std::size_t(3));
    QCOMPARE(int(applied[0].red[255]), 255 * (2 * 51 + 128));
    QCOMPARE(int(applied[1].red[255]), 255 * (2 * 50 + 128));
    QCOMPARE(int(applied[2].red[255]), 255 * (2 * 49 + 128));
    QCOMPARE(m_fakes->gamma->loadAttempts(), 1);
}

void TestSystemActions::brightnessDownToZeroAndNoFurther()
{
    for (int i = 0; i < 50; ++i)
        m_actions->brightnessStep(false);
    QCOMPARE(m_actions->brightnessLevel(), 0);
    QCOMPARE(int(m_fakes->gamma->current().red[255]), 32640);

    for (int i = 0; i < 5; ++i)
        m_actions->brightnessStep(false);
    QCOMPARE(m_actions->brightnessLevel(), 0);
    QCOMPARE(int(m_fakes->gamma->current().red[255]), 32640);
    QCOMPARE(int(m_fakes->gamma->current().blue[255]), 32640);

    m_actions->brightnessStep(true);
    QCOMPARE(m_actions->brightnessLevel(), 1);
}

void TestSystemActions::brightnessUpToHundredAndNoFurther()
{
    for (int i = 0; i < 60; ++i)
        m_actions->brightnessStep(true);
    QCOMPARE(m_actions->brightnessLevel(), 100);
    const platform::GammaRamp &ramp = m_fakes->gamma->current();
    QCOMPARE(int(ramp.green[199]), 65272);
    QCOMPARE(int(ramp.green[200]), 65535);
    m_actions->brightnessStep(false);
    QCOMPARE(m_actions->brightnessLevel(), 99);
}

void TestSystemActions::brightnessWithoutGammaRamps_data()
{
    QTest::addColumn<bool>("unresolvable");
    QTest::addColumn<bool>("noDeviceContext");
    QTest::addColumn<bool>("refuses");
    QTest::addColumn<int>("handedToDisplay");

    QTest::newRow("gdi entry points missing") << true << false << false << 0;
    QTest::newRow("no screen context") << false << true << false << 0;
    QTest::newRow("display refuses") << false << false << true << 3;
}

// The level records what the user asked for even where the display cannot show it.
void TestSystemActions::brightnessWithoutGammaRamps()
{
    QFETCH(bool, unresolvable);
    QFETCH(bool, noDeviceContext);
    QFETCH(bool, refuses);
    QFETCH(int, handedToDisplay);
    m_fakes->gamma->setResolvable(!unresolvable);
    m_fakes->gamma->setNoDeviceContext(noDeviceContext);
    m_fakes->gamma->setRefusesRamps(refuses);

    for (int i = 0; i < 3; ++i)
        m_actions->brightnessStep(true);
    QCOMPARE(m_actions->brightnessLevel(), 53);
    QCOMPARE(int(m_fakes->gamma->appliedRamps().size()), handedToDisplay);
    QCOMPARE(m_fakes->gamma->loadAttempts(), 1);          // resolved once, not retried
    QCOMPARE(int(m_fakes->gamma->current().red[255]), 0); // untouched
}

void TestSystemActions::pointerSpeed_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<QString>("key"); // written with the value unless empty
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("applied"); // 0: nothing

    QTest::newRow("middle main") << 0 << false << "PATH/mid_main_speed"
                                 << "7" << 7;
    QTest::newRow("middle self") << 0 << true << "PATH/mid_self_speed"
                                 << "15" << 15;
    QTest::newRow("right main") << 5 << false << "PATH/right_main_speed"
                                << "1" << 1;
    QTest::newRow("right self") << 5 << true << "PATH/right_self_speed"
                                << "20" << 20;
    QTest::newRow("side up main") << 2 << false << "PATH/slider_up_main_speed"
                                  << "12" << 12;
    QTest::newRow("side down self") << 3 << true << "PATH/slider_down_self_speed"
                                    << "3" << 3;
    QTest::newRow("reads main, not self") << 0 << false << "PATH/mid_self_speed"
                                          << "9" << 0;
    QTest::newRow("reads self, not main") << 0 << true << "PATH/mid_main_speed"
                                          << "9" << 0;
    QTest::newRow("missing") << 5 << false << ""
                             << "" << 0;
    QTest::newRow("empty") << 5 << false << "PATH/right_main_speed"
                           << "" << 0;
    QTest::newRow("not a number") << 0 << false << "PATH/mid_main_speed"
                                  << "fast" << 0;
    QTest::newRow("zero") << 0 << false << "PATH/mid_main_speed"
                          << "0" << 0;
    QTest::newRow("above twenty") << 0 << false << "PATH/mid_main_speed"
                                  << "21" << 0;
    QTest::newRow("middle wheel") << 1 << false << "PATH/mid_main_speed"
                                  << "7" << 0;
    QTest::newRow("side wheel") << 4 << true << "PATH/mid_self_speed"
                                << "7" << 0;
    QTest::newRow("no such control") << 9 << false << "PATH/mid_main_speed"
                                     << "7" << 0;
}

void TestSystemActions::pointerSpeed()
{
    QFETCH(int, control);
    QFETCH(bool, toggle);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(int, applied);
    if (!key.isEmpty())
        m_folder->setModelValue(kModel, key, value);

    LogCapture log;
    bool state = toggle;
    m_actions->togglePointerSpeed(control, state);

    QCOMPARE(state, !toggle); // flips whatever happened
    QVERIFY(log.contains(QStringLiteral("mouse_speed")));
    if (applied)
        QVERIFY(m_fakes->pointerSpeed->requests() == std::vector<int>{applied});
    else
        QVERIFY(m_fakes->pointerSpeed->requests().empty());
}

// The toggle is shared: main, self, main, self... whichever key asks.
void TestSystemActions::pointerSpeedAlternatesAcrossControls()
{
    m_folder->setModelValues(kModel, {{"PATH/mid_main_speed", "3"},
                                      {"PATH/mid_self_speed", "4"},
                                      {"PATH/right_main_speed", "13"},
                                      {"PATH/right_self_speed", "14"}});
    bool toggle = false;
    m_actions->togglePointerSpeed(0, toggle); // mid main
    m_actions->togglePointerSpeed(5, toggle); // right self
    m_actions->togglePointerSpeed(5, toggle); // right main
    m_actions->togglePointerSpeed(0, toggle); // mid self
    m_actions->togglePointerSpeed(0, toggle); // mid main
    QVERIFY(m_fakes->pointerSpeed->requests() == std::vector<int>({3, 14, 13, 4, 3}));
    QVERIFY(toggle);
}

void TestSystemActions::pointerSpeedMissingMainThenSelf()
{
    m_folder->setModelValue(kModel, "PATH/mid_self_speed", "18");
    bool toggle = false;
    m_actions->togglePointerSpeed(0, toggle);
    QVERIFY(m_fakes->pointerSpeed->requests().empty());
    m_actions->togglePointerSpeed(0, toggle);
    QVERIFY(m_fakes->pointerSpeed->requests() == std::vector<int>{18});
}

void TestSystemActions::exitWindows_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("versionFails");
    QTest::addColumn<int>("platformId");
    QTest::addColumn<bool>("privilegeFails");
    QTest::addColumn<QStringList>("calls");

    // Programs may save or ask: only hung ones are forced (0x10), never all (0x04).
    QTest::newRow("log off") << 0 << false << 2 << false
                             << QStringList{"version", "privilege", "exit 0x10 0"};
    QTest::newRow("shut down") << 1 << false << 2 << false
                               << QStringList{"version", "privilege", "exit 0x11 0"};
    QTest::newRow("restart") << 2 << false << 2 << false
                             << QStringList{"version", "privilege", "exit 0x12 0"};
    QTest::newRow("kind 3") << 3 << false << 2 << false << QStringList();
    QTest::newRow("kind 4 (force)") << 4 << false << 2 << false << QStringList();
    QTest::newRow("negative kind") << -1 << false << 2 << false << QStringList();
    QTest::newRow("version unknown") << 1 << true << 2 << false << QStringList{"version"};
    QTest::newRow("not NT: no privilege")
        << 1 << false << 1 << false << QStringList{"version", "exit 0x11 0"};
    QTest::newRow("privilege refused")
        << 2 << false << 2 << true << QStringList{"version", "privilege", "exit 0x12 0"};
}

void TestSystemActions::exitWindows()
{
    QFETCH(int, kind);
    QFETCH(bool, versionFails);
    QFETCH(int, platformId);
    QFETCH(bool, privilegeFails);
    QFETCH(QStringList, calls);
    platform::fake::FakePower &power = *m_fakes->power;
    power.setVersionFails(versionFails);
    platform::OsVersion version{10, 0, 19045, std::uint32_t(platformId)};
    power.setVersion(version);
    power.setPrivilegeFails(privilegeFails);

    m_actions->exitWindows(kind);
    QCOMPARE(toStrings(power.calls()), calls);
    QCOMPARE(m_fakes->workstationLock->locks(), 0);
}

void TestSystemActions::lockWorkStation()
{
    m_actions->lockWorkStation();
    QCOMPARE(m_fakes->workstationLock->locks(), 1);
    QVERIFY(m_fakes->power->calls().empty());
}

QTEST_MAIN(TestSystemActions)
#include "tst_systemactions.moc"
