// The agent's event path on Linux: the receiver's mouse events written to an
// emulated event node (umockdev), read and turned into records by the evdev
// filter, then as in the agent: the USBDriver thread, the hub, the main window's
// routing and the dispatcher, which re-reads the settings files for every event
// and performs the function on the recording input service. The virtual mouse is
// a recording (the test bed has no uinput).
//
// Prints a burst of queued events (handled in order, none lost), the latency from
// each event's time stamp to the end of its action (median and p99), and the
// resident memory.
//
// Usage: velko_agent_bench_linux [latency-events]   (default 20000; re-runs itself
// under umockdev-wrapper)
// The test bed (GLib) before Qt, whose "signals" keyword GLib's headers use as a name.
#include "testbed.h"

#include "agentapp.h"
#include "bench_agent_setup.h"
#include "evdev_filter.h"
#include "fake_agent_platform.h"
#include "mainwindow.h"
#include "usbdriver.h"

#include "agentwindowbase.h"
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <functional>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace bench;

// The event that drives each step of the cycle.
const std::array<input_event, 12> kEvents = {{
    testbed::event(EV_KEY, BTN_MIDDLE, 1),
    testbed::event(EV_KEY, BTN_MIDDLE, 0),
    testbed::event(EV_REL, REL_WHEEL, 1),
    testbed::event(EV_KEY, BTN_RIGHT, 1),
    testbed::event(EV_KEY, BTN_RIGHT, 0),
    testbed::event(EV_REL, REL_WHEEL, -1),
    testbed::event(EV_KEY, BTN_SIDE, 1),
    testbed::event(EV_KEY, BTN_SIDE, 0),
    testbed::event(EV_REL, REL_HWHEEL, 1),
    testbed::event(EV_KEY, BTN_EXTRA, 1),
    testbed::event(EV_KEY, BTN_EXTRA, 0),
    testbed::event(EV_REL, REL_HWHEEL, -1),
}};

// The pass-through as a counter: the bench measures the controls' path.
class CountingPassThrough : public platform::linuxport::PassThrough
{
public:
    explicit CountingPassThrough(std::atomic<int> &takes) : m_takes(takes) {}
    bool take(int, std::string &) override
    {
        ++m_takes;
        return true;
    }
    void write(const input_event &) override {}
    void release(int) override {}

private:
    std::atomic<int> &m_takes;
};

input_event stamped(input_event e, Clock::time_point at)
{
    const auto us =
        std::chrono::duration_cast<std::chrono::microseconds>(at.time_since_epoch()).count();
    e.input_event_sec = decltype(e.input_event_sec)(us / 1000000);
    e.input_event_usec = decltype(e.input_event_usec)(us % 1000000);
    return e;
}

Clock::time_point stampOf(const input_event &e)
{
    return Clock::time_point(std::chrono::seconds(e.input_event_sec) +
                             std::chrono::microseconds(e.input_event_usec));
}

// The emulated node's own share: an event written to a raw pseudo-terminal (as
// the test bed's stream nodes are) until a thread waiting in poll() has read it.
// A real event node wakes its reader directly; the pseudo-terminal goes through
// the kernel's tty work queue first.
std::vector<double> nodeTransport(int events)
{
    std::vector<double> result;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) < 0 || ::unlockpt(master) < 0)
        return result;
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    std::atomic<bool> ready{false};
    std::atomic<Clock::rep> written{0};
    std::thread reader([&] {
        input_event e;
        for (int i = 0; i < events; ++i) {
            ready = true;
            pollfd p{slave, POLLIN, 0};
            ::poll(&p, 1, 1000);
            if (::read(slave, &e, sizeof e) != ssize_t(sizeof e))
                break;
            result.push_back(
                micros(Clock::now() - Clock::time_point(Clock::duration(written.load()))));
        }
    });
    const input_event e = testbed::event(EV_REL, REL_WHEEL, 1);
    for (int i = 0; i < events; ++i) {
        while (!ready.exchange(false))
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::microseconds(50)); // the reader sleeps in poll()
        written = Clock::now().time_since_epoch().count();
        if (::write(master, &e, sizeof e) != ssize_t(sizeof e))
            break;
    }
    reader.join();
    ::close(slave);
    ::close(master);
    std::sort(result.begin(), result.end());
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    const char *preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "umockdev-preload")) {
        std::vector<char *> args{const_cast<char *>("umockdev-wrapper")};
        args.insert(args.end(), argv, argv + argc);
        args.push_back(nullptr);
        ::execvp("umockdev-wrapper", args.data());
        std::fprintf(stderr, "umockdev-wrapper is needed (Debian package umockdev)\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareAgentProcess();
    AgentApplication app(argc, argv); // as the agent runs on this system
    qInstallMessageHandler(dropMessages);
    const int latencyEvents = argc > 1 ? std::max(100, atoi(argv[1])) : 20000;
    const int warmUp = std::min(200, latencyEvents / 10);

    SettingsFolder folder;
    folder.setModel(QStringLiteral("QX210"));
    folder.setModelValues(QStringLiteral("QX210"), kSettings);

    testbed::Bed bed;
    const testbed::Device receiver =
        bed.addUsb("1-1", 0x2F6B, 0x1813, testbed::kReceiverDescriptor, true);
    const int node = bed.streamFd(receiver.eventNode);
    if (!receiver.added || node < 0) {
        std::fprintf(stderr, "the emulated receiver could not be made\n");
        return 2;
    }

    FakeAgentPlatform fakes;
    auto timing = std::make_unique<TimingInput>();
    TimingInput *input = timing.get();
    fakes.platform.input = std::move(timing);
    fakes.platform.nativeMessages = platform::createNativeMessages();
    std::atomic<int> takes{0};
    auto filter = platform::linuxport::createEvdevFilterDevice(
        [&] { return std::make_unique<CountingPassThrough>(takes); });

    MainWindow window(fakes.platform);
    USBDriver driver(*filter);
    if (!driver.open()) {
        std::fprintf(stderr, "the filter did not open\n");
        return 2;
    }
    driver.start(QThread::InheritPriority);
    for (int i = 0; i < 500 && takes == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (takes == 0) {
        std::fprintf(stderr, "the filter did not take the emulated mouse\n");
        return 2;
    }

    // Burst: 8000 controls' events, each in its report, written as fast as the
    // node takes them.
    const std::size_t burst = USBDriver::kSemaphoreMaximum;
    std::vector<input_event> stream;
    for (std::size_t i = 0; i < burst; ++i) {
        stream.push_back(kEvents[i % kEvents.size()]);
        stream.push_back(testbed::event(EV_SYN, SYN_REPORT, 0));
    }
    std::size_t burstDone = 0;
    Clock::time_point burstStart, burstEnd;
    input->expect(0, [&](Clock::time_point t) {
        if (++burstDone == burst) {
            burstEnd = t;
            app.quit();
        }
    });
    std::thread writer;
    QTimer::singleShot(0, [&] {
        burstStart = Clock::now();
        writer = std::thread([&] { testbed::writeEvents(node, stream); });
    });
    QTimer::singleShot(60000, &app, &QCoreApplication::quit); // never hang
    app.exec();
    writer.join();
    std::size_t mismatch = 0;
    const bool burstInOrder = inputMatches(input->describedEvents(), 0, burstDone, mismatch);
    const double burstMs = micros(burstEnd - burstStart) / 1000.0;
    std::printf("burst: %zu events written, %zu actions, %zu lost, %s, %.1f ms, %.0f events/s\n",
                burst, burstDone, burst - burstDone, burstInOrder ? "in order" : "OUT OF ORDER",
                burstMs, burstMs > 0 ? burstDone / (burstMs / 1000.0) : 0.0);

    // Latency: one event at a time, stamped when written, the next written once
    // the previous one's action is complete.
    input->clear();
    const std::size_t firstStep = burstDone % kEvents.size();
    const std::vector<double> latencies = measureOneAtATime(
        app, *input, firstStep, latencyEvents,
        [&](std::size_t step) -> std::optional<Clock::time_point> {
            const input_event e = stamped(kEvents[step % kEvents.size()], Clock::now());
            if (!testbed::writeEvents(node, {e, testbed::event(EV_SYN, SYN_REPORT, 0)}))
                return std::nullopt;
            return stampOf(e);
        });
    const bool latencyInOrder =
        inputMatches(input->describedEvents(), firstStep, latencies.size(), mismatch);
    driver.stop();
    driver.wait(3000);

    if (int(latencies.size()) != latencyEvents) {
        std::printf("latency: only %zu of %d events completed\n", latencies.size(), latencyEvents);
        return 1;
    }
    const double p99 =
        printLatency("latency, event time stamp to action", latencies, warmUp, latencyInOrder);
    const std::vector<double> transport = nodeTransport(5000);
    if (!transport.empty())
        std::printf("of which the emulated node's transport alone (pseudo-terminal): median %.1f "
                    "us, p99 %.1f us\n",
                    transport[transport.size() / 2], transport[transport.size() * 99 / 100]);
    std::printf("resident memory (VmRSS): %s\n", qPrintable(residentMemory()));
    std::printf("goal p99 < 100 us: %s\n", p99 < 100.0 ? "met" : "NOT met");
    return burstInOrder && latencyInOrder && burstDone == burst ? 0 : 1;
}
