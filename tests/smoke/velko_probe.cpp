// Looks at the running programs from outside, through the same window contract
// the configurator and the uninstaller use. For the programs' smoke test:
//   velko_probe wait <title> <ms>    waits for the window; prints the wall clock
//                                    (ms since 1970) at which it was seen
//   velko_probe gone <title> <ms>    waits until the window is gone
//   velko_probe close <title> <ms>   asks the window to close
//   velko_probe running <file name>  whether a process of that name runs
//   velko_probe detection            prints whether the program in front can be
//                                    known here: available, needs-enabling or
//                                    unavailable
//   velko_probe enable-detection     asks the desktop to turn it on
// Exit code 0 when the condition holds, 1 when it does not, 2 for bad arguments.
#include "message_window.h"
#include "process.h"
#include "programs.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

long long wallClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// Polls `holds` until it is true or `timeoutMs` has passed.
template <typename Condition> bool waitFor(Condition holds, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!holds()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && std::string(argv[1]) == "detection") {
        static const char *const kNames[] = {"available", "needs-enabling", "unavailable"};
        std::printf("%s\n", kNames[int(platform::createProgramDirectory()->detection())]);
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "enable-detection")
        return platform::createProgramDirectory()->enableDetection() ? 0 : 1;
    if (argc < 3)
        return 2;
    const std::string command = argv[1];
    const std::string name = argv[2];
    const int timeoutMs = argc > 3 ? std::atoi(argv[3]) : 0;

    if (command == "running")
        return platform::createProcessTable()->isRunning(name) ? 0 : 1;

    auto windows = platform::createWindowDirectory();
    if (command == "wait") {
        if (!waitFor([&] { return windows->exists(name); }, timeoutMs))
            return 1;
        std::printf("%lld\n", wallClockMs());
        return 0;
    }
    if (command == "gone")
        return waitFor([&] { return !windows->exists(name); }, timeoutMs) ? 0 : 1;
    if (command == "close")
        return windows->requestClose(name, timeoutMs) == platform::CloseResult::Closed ? 0 : 1;
    return 2;
}
