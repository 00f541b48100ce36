// The agent's event path end to end: driver records pushed into the simulated
// filter driver, read by the USBDriver thread, handed to the main thread, through
// the event hub and the main window's routing to the dispatcher, which re-reads
// the settings files for every event as the agent does and performs the function
// on the recording input service (whose pauses do not sleep).
//
// Prints the throughput of a burst of queued records (and checks that every
// record was handled, in order), the latency of single events (push to the
// action's last input event) as median and p99, and the resident memory; first
// with the default set only, then again with ten program sets stored, one of
// them for the program in front, and the figures of both runs side by side.
//
// Usage: velko_agent_bench [latency-events] [--native-programs]   (default 20000)
//   --native-programs: the run with program sets asks the system which window and
//   program are in front (on Linux: run it in an X session with a window in front).
#include "agentapp.h"
#include "bench_agent_setup.h"
#include "fake_agent_platform.h"
#include "hooksource.h"
#include "mainwindow.h"
#include "usbdriver.h"

#include "agentwindowbase.h"
#include <QRegularExpression>
#include <QTimer>

#include "detail/counting_semaphore.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using namespace bench;

// The driver record of each step of the cycle.
constexpr std::array<std::uint32_t, 12> kRecords = {0x04, 0x00, 0x101, 0x02, 0x00, 0x1FF,
                                                    0x08, 0x00, 0x201, 0x10, 0x00, 0x2FF};

struct Figures
{
    double median = 0, p99 = 0, burstRate = 0;
    bool ok = false;
};

// One run of the burst, the latency and the dispatcher alone; `label` prefixes
// its lines.
Figures run(AgentApplication &app, int latencyEvents, int warmUp, bool programSets,
            bool nativePrograms = false)
{
    const char *label = programSets ? "ten program sets" : "plain";
    Figures figures;
    SettingsFolder folder;
    FakeAgentPlatform fakes;
    TimingInput *input = prepareAgent<TimingInput>(folder, fakes);
    if (!input) {
        std::fprintf(stderr, "no temporary folder\n");
        return figures;
    }
    std::string front;
    if (programSets && nativePrograms) {
        fakes.platform.programs = platform::createProgramDirectory();
        front = fakes.platform.programs->programOf(fakes.platform.programs->foregroundWindow());
        std::printf("%s: the system's program in front: \"%s\"\n", label, front.c_str());
        if (front.empty())
            return figures;
    }
    if (programSets)
        addTenProgramSets(folder, fakes, front);

    MainWindow window(fakes.platform);
    USBDriver driver(*fakes.platform.filterDevice);
    if (!driver.open()) {
        std::fprintf(stderr, "the simulated driver did not open\n");
        return figures;
    }

    // Burst: the driver queues as many records as it can before the thread reads.
    const std::size_t burst = USBDriver::kSemaphoreMaximum;
    std::size_t queued = 0;
    for (std::size_t i = 0; i < burst; ++i)
        queued += fakes.filterDevice->pushRecord(kRecords[i % kRecords.size()]) ? 1 : 0;
    std::size_t burstDone = 0;
    Clock::time_point burstStart, burstEnd;
    input->expect(0, [&](Clock::time_point t) {
        if (++burstDone == queued) {
            burstEnd = t;
            app.quit();
        }
    });
    QTimer::singleShot(0, [&] {
        burstStart = Clock::now();
        driver.start(QThread::InheritPriority);
    });
    QTimer::singleShot(120000, &app, &QCoreApplication::quit); // never hang
    app.exec();

    std::size_t mismatch = 0;
    const bool burstInOrder = inputMatches(input->describedEvents(), 0, queued, mismatch);
    const double burstMs = micros(burstEnd - burstStart) / 1000.0;
    figures.burstRate = burstMs > 0 ? burstDone / (burstMs / 1000.0) : 0.0;
    std::printf("%s: burst: %zu records queued, %zu events handled, %zu lost, %s, %.1f ms, "
                "throughput %.0f events/s\n",
                label, queued, burstDone, queued - burstDone,
                burstInOrder ? "in order" : "OUT OF ORDER", burstMs, figures.burstRate);
    if (!burstInOrder)
        std::printf("  first difference at input event %zu\n", mismatch);

    // Latency: one record at a time, the next pushed once the previous one's
    // action is complete.
    input->clear();
    const std::size_t firstStep = queued % kRecords.size();
    const std::vector<double> latencies = measureOneAtATime(
        app, *input, firstStep, latencyEvents,
        [&](std::size_t step) -> std::optional<Clock::time_point> {
            const Clock::time_point now = Clock::now();
            if (!fakes.filterDevice->pushRecord(kRecords[step % kRecords.size()])) {
                std::fprintf(stderr, "the simulated driver refused a record\n");
                return std::nullopt;
            }
            return now;
        });
    const bool latencyInOrder =
        inputMatches(input->describedEvents(), firstStep, latencies.size(), mismatch);
    driver.stop();
    driver.wait(3000);

    if (int(latencies.size()) != latencyEvents) {
        std::printf("%s: latency: only %zu of %d events completed\n", label, latencies.size(),
                    latencyEvents);
        return figures;
    }
    const std::string latencyLabel = std::string(label) + ": latency";
    figures.p99 =
        printLatency(latencyLabel.c_str(), latencies, warmUp, latencyInOrder, &figures.median);

    // The share of the main thread's own work: the dispatcher alone, called
    // directly, settings re-read included; the rest of the latency is the hand-off
    // between the threads and waiting for a core.
    std::vector<double> direct;
    for (int i = 0; i < 2000; ++i) {
        const Clock::time_point start = Clock::now();
        window.dispatcher().onWheelEvent(1, QStringLiteral("up"));
        direct.push_back(micros(Clock::now() - start));
    }
    std::sort(direct.begin(), direct.end());
    std::printf("%s: dispatcher alone (settings re-read, action on the fake input): median %.1f us, "
                "p99 %.1f us\n",
                label, direct[direct.size() / 2], direct[direct.size() * 99 / 100]);
    if (programSets && !nativePrograms)
        std::printf("%s: program lookups: %d foreground, %d program of a window\n", label,
                    fakes.programs->foregroundCalls(), fakes.programs->programOfCalls());
    figures.ok = burstInOrder && latencyInOrder && burstDone == queued;
    return figures;
}

// What the two hand-overs of every event cost on this machine with no work at
// either end, measured as the events are: a thread woken by a semaphore, as the
// driver thread is, posts to the main thread, which notes the time and starts
// the next one from its event loop. The agent's latency cannot fall below it.
void printHandOverFloor(QCoreApplication &app, int count)
{
    platform::detail::CountingSemaphore semaphore(1);
    std::atomic<bool> stop{false};
    QObject receiver;
    std::vector<double> latencies;
    latencies.reserve(std::size_t(count));
    Clock::time_point pushed;
    std::function<void()> next = [&] {
        if (int(latencies.size()) == count)
            return app.quit();
        pushed = Clock::now(); // ordered before the reader by the semaphore's lock
        semaphore.release();
    };
    std::thread reader([&] {
        for (;;) {
            semaphore.acquire();
            if (stop)
                return;
            QMetaObject::invokeMethod(
                &receiver,
                [&] {
                    latencies.push_back(micros(Clock::now() - pushed));
                    QTimer::singleShot(0, next);
                },
                Qt::QueuedConnection);
        }
    });
    QTimer::singleShot(0, next);
    app.exec();
    stop = true;
    semaphore.release();
    reader.join();
    std::sort(latencies.begin(), latencies.end());
    std::printf("hand-over alone (semaphore to a thread, queued call back to the main thread): "
                "median %.1f us, p99 %.1f us\n",
                quantile(latencies, 0.5), quantile(latencies, 0.99));
}

// The hook's hand-over: what an event the system's mouse hook swallowed costs
// until the main thread has its code, one at a time, the hook's thread standing
// in as a plain thread calling the filter as the system calls it.
void printHookHandOver(QCoreApplication &app, int count)
{
    SettingsFolder folder;
    folder.setModel(QStringLiteral("QX210"));
    folder.setModelValue(QStringLiteral("QX210"), QStringLiteral("SET/Mid_wheel"),
                         QStringLiteral("Volume-1-midWheel"));
    platform::fake::FakeMouseHook hook;
    HookSource source(hook);
    if (!source.start())
        return;
    std::vector<double> latencies;
    latencies.reserve(std::size_t(count));
    Clock::time_point delivered;
    std::thread system;
    const auto next = [&] {
        if (system.joinable())
            system.join();
        if (int(latencies.size()) == count)
            return app.quit();
        system = std::thread([&] {
            platform::MouseHookEvent notch;
            notch.kind = platform::MouseHookEvent::Kind::Wheel;
            notch.delta = HookRules::kNotch;
            delivered = Clock::now();
            hook.deliver(notch);
        });
    };
    QObject::connect(&source, &HookSource::mouseClicked, &app, [&](int) {
        latencies.push_back(micros(Clock::now() - delivered));
        QTimer::singleShot(0, next);
    });
    QTimer::singleShot(0, next);
    app.exec();
    if (system.joinable())
        system.join();
    std::sort(latencies.begin(), latencies.end());
    std::printf("hook hand-over (the filter on the hook's thread to the code on the main thread): "
                "median %.1f us, p99 %.1f us\n",
                quantile(latencies, 0.5), quantile(latencies, 0.99));
}

} // namespace

int main(int argc, char *argv[])
{
    // Where the agent defers events through its native window (Windows), the native
    // platform must make that window; elsewhere no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !platform::createNativeMessages()->canPost())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareAgentProcess(); // as the agent's main() does
    AgentApplication app(argc, argv); // as the agent runs on this system
    qInstallMessageHandler(dropMessages);
    const QStringList args = app.arguments().mid(1);
    const bool nativePrograms = args.contains(QStringLiteral("--native-programs"));
    const QStringList counts = args.filter(QRegularExpression(QStringLiteral("^\\d+$")));
    const int latencyEvents = counts.isEmpty() ? 20000 : std::max(100, counts.first().toInt());
    const int warmUp = std::min(200, latencyEvents / 10);

    printHandOverFloor(app, latencyEvents);
    printHookHandOver(app, std::min(latencyEvents, 5000));
    const Figures plain = run(app, latencyEvents, warmUp, false);
    const Figures sets = run(app, latencyEvents, warmUp, true, nativePrograms);
    std::printf("resident memory (VmRSS): %s\n", qPrintable(residentMemory()));
    std::printf("%-18s %12s %12s %16s\n", "", "median us", "p99 us", "burst events/s");
    for (const auto &[name, f] : {std::pair<const char *, Figures>{"plain", plain},
                                  std::pair<const char *, Figures>{"ten program sets", sets}})
        std::printf("%-18s %12.1f %12.1f %16.0f%s\n", name, f.median, f.p99, f.burstRate,
                    f.ok ? "" : "  FAILED");
    std::printf("goal p99 < 100 us: %s\n", plain.p99 < 100.0 && sets.p99 < 100.0 ? "met" : "NOT met");
    return plain.ok && sets.ok ? 0 : 1;
}
