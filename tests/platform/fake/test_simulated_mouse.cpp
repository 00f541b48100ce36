// The effect file of the recording services: a fresh file per run, one line per
// effect in call order, readable while the program runs.
#include "fake_window_system.h"
#include "recording_services.h"
#include "simulated_mouse.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace platform::fake;

std::vector<std::string> readLines(const std::string &path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(EffectLog, FreshFileOneLinePerEffectInOrder)
{
    const std::string path = testing::TempDir() + "velko_effects_test.txt";
    std::ofstream(path) << "left from an earlier run\n";
    {
        auto log = std::make_shared<EffectLog>(path);
        LoggingInputInjector input(log);
        LoggingShell shell(log);
        input.keyEvent(0x11, 0);
        shell.open("calc.exe", 10);
        input.pause(50);
        input.mouseEvent(0x800, -120);
        shell.openSpecialFolder(0x27);
        shell.toggleDesktop();
        // The lines are there while the agent still runs.
        EXPECT_EQ(readLines(path).size(), 6u);
        EXPECT_EQ(input.events().size(), 3u); // still recorded as the fakes do
    }
    EXPECT_EQ(readLines(path), (std::vector<std::string>{"key 0x11 0", "open calc.exe 10",
                                                         "pause 50", "mouse 0x800 -120",
                                                         "special folder 0x27", "toggle desktop"}));
    std::remove(path.c_str());
}

// The program runs with these for hours: the file keeps every effect, memory not.
TEST(EffectLog, MemoryKeepsOnlyTheLatestEffects)
{
    const std::string path = testing::TempDir() + "velko_effects_long.txt";
    {
        LoggingInputInjector input(std::make_shared<EffectLog>(path));
        for (int i = 0; i < 1000; ++i)
            input.pause(i);
        EXPECT_LE(input.events().size(), LoggingInputInjector::kKeptEvents);
        EXPECT_EQ(input.events().back().describe(), "pause 999");
    }
    EXPECT_EQ(readLines(path).size(), 1000u);
    std::remove(path.c_str());
}

} // namespace

// Under --record-effects nothing that changes the desktop is performed: each
// service writes its line instead, while questions still reach the real window
// system (here a fake one, whose calls show what went through).
TEST(EffectLog, DesktopChangesAreWrittenNotPerformed)
{
    const std::string path = testing::TempDir() + "velko_desktop_effects_test.txt";
    {
        auto log = std::make_shared<EffectLog>(path);
        auto real = std::make_unique<FakeWindowSystem>();
        FakeWindowSystem *windows = real.get();
        const platform::WindowId front = windows->addWindow(0, "Notepad", {0, 0, 100, 100});
        windows->setForeground(front);
        windows->setZoomed(front, true);
        LoggingWindowSystem recording(std::move(real), log);
        EXPECT_EQ(recording.foregroundWindow(), front);
        EXPECT_TRUE(recording.isZoomed(front));
        EXPECT_EQ(recording.className(front, 260), "Notepad");
        EXPECT_TRUE(recording.showWindow(front, 6));
        EXPECT_TRUE(recording.postMessage(front, 0x10, 0, 0));
        EXPECT_TRUE(windows->showWindowCalls().empty());
        EXPECT_TRUE(windows->postedMessages().empty());

        LoggingAudioSystem audio(log);
        platform::AudioOpenFailure failure{};
        auto endpoint = audio.openDefaultRenderEndpoint({}, failure);
        ASSERT_TRUE(endpoint);
        endpoint->setMute(false, nullptr);
        endpoint->setMasterVolumeScalar(0.51f, nullptr);
        LoggingDisplayGamma gamma(log);
        gamma.load();
        gamma.setRamp({});
        LoggingPointerSpeed(log).setSpeed(7);
        LoggingPower(log).exitWindows(0x11, 0);
        LoggingWorkstationLock(log).lock();
    }
    const std::vector<std::string> lines = readLines(path);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].rfind("show 6 on 0x", 0), 0u);
    EXPECT_EQ(lines[1].rfind("post 0x10 0 0 to 0x", 0), 0u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()),
              (std::vector<std::string>{"mute 0", "volume 0.51", "gamma ramp", "speed 7",
                                        "exit 0x11 0", "lock"}));
    std::remove(path.c_str());
}
