// The effect file of the recording services: a fresh file per run, one line per
// effect in call order, readable while the program runs.
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
