// A million-event soak of the agent's event path: driver records pushed into the
// simulated filter driver, read by the USBDriver thread, handed to the main
// thread, routed and dispatched with the settings re-read as the agent does, while
// a second process rewrites the model's settings file every 100 ms (the way the
// configurator does: a new file renamed over the old one, same assignments).
//
// Prints the events handled and lost (must be 0) and whether each action's input
// was the expected one, resident memory and open file descriptors after the
// warm-up and at the end (memory flat within 1 MB, descriptors equal), the
// rewrites made meanwhile, and the time.
//
// Usage: velko_agent_soak [events]   (default 1000000)
#include "agentapp.h"
#include "appenv.h"
#include "bench_agent_setup.h"
#include "fake_agent_platform.h"
#include "mainwindow.h"
#include "usbdriver.h"

#include "agentwindowbase.h"
#include <QDir>
#include <QProcess>
#include <QSaveFile>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using namespace bench;

constexpr std::array<std::uint32_t, 12> kRecords = {0x04, 0x00, 0x101, 0x02, 0x00, 0x1FF,
                                                    0x08, 0x00, 0x201, 0x10, 0x00, 0x2FF};
constexpr long kWarmUp = 10000;
constexpr long kRefill = 1000;        // records pushed at a time
constexpr long kMaxOutstanding = 5000; // below the driver's 8000

// The second process: rewrites `file` every 100 ms until it is killed.
int rewrite(const QString &file)
{
    for (long n = 0;; ++n) {
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        QByteArray text = "[SET]\n";
        for (auto it = kSettings.cbegin(); it != kSettings.cend(); ++it)
            if (it.key().startsWith(QLatin1String("SET/")))
                text += it.key().mid(4).toUtf8() + '=' + it.value().toUtf8() + '\n';
        text += "[PATH]\nmid_web_url=" + QByteArray(n % 2 ? "https://a.example" : "https://b.example") + '\n';
        out.write(text);
        if (!out.commit())
            return 1;
        std::printf("w\n");
        std::fflush(stdout);
        QThread::msleep(100);
    }
}

long openDescriptors()
{
    return long(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

// Counts the actions' input events and checks each against the cycle, keeping
// nothing (a recording input would grow by a million lines).
class CheckingInput : public platform::fake::FakeInputInjector
{
public:
    void keyEvent(std::uint8_t vk, std::uint32_t flags) override
    {
        char text[48];
        std::snprintf(text, sizeof text, "key 0x%X %u", unsigned(vk), unsigned(flags));
        note(text);
    }
    void mouseEvent(std::uint32_t flags, std::int32_t data) override
    {
        char text[48];
        std::snprintf(text, sizeof text, "mouse 0x%X %d", unsigned(flags), int(data));
        note(text);
    }
    long steps = 0;
    long mismatches = 0;
    std::function<void()> onStep;

private:
    void note(const char *text)
    {
        const auto &expected = kCycleInput[std::size_t(steps) % kCycleInput.size()];
        if (std::strcmp(expected[m_inStep], text) != 0)
            ++mismatches;
        if (++m_inStep < expected.size())
            return;
        m_inStep = 0;
        ++steps;
        if (onStep)
            onStep();
    }
    std::size_t m_inStep = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--rewrite") == 0)
        return rewrite(QString::fromLocal8Bit(argv[2]));

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !platform::createNativeMessages()->canPost())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareAgentProcess();
    AgentApplication app(argc, argv); // as the agent runs on this system
    qInstallMessageHandler(dropMessages);
    const long total = argc > 1 ? std::max(kWarmUp * 2, atol(argv[1])) : 1000000;

    SettingsFolder folder;
    FakeAgentPlatform fakes;
    CheckingInput *input = prepareAgent<CheckingInput>(folder, fakes);
    if (!input) {
        std::fprintf(stderr, "no temporary folder\n");
        return 2;
    }

    MainWindow window(fakes.platform);
    USBDriver driver(*fakes.filterDevice);
    if (!driver.open()) {
        std::fprintf(stderr, "the simulated driver did not open\n");
        return 2;
    }

    long pushed = 0, refused = 0;
    auto refill = [&] {
        fakes.filterDevice->clearRequests(); // the fake notes every read
        for (long i = 0; i < kRefill && pushed < total && pushed - input->steps < kMaxOutstanding; ++i) {
            if (fakes.filterDevice->pushRecord(kRecords[std::size_t(pushed) % kRecords.size()]))
                ++pushed;
            else
                ++refused;
        }
    };

    QProcess rewriter;
    rewriter.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--rewrite"), appenv::modelSettingsPath(QStringLiteral("QX210"))});
    if (!rewriter.waitForStarted(5000)) {
        std::fprintf(stderr, "the rewriting process did not start\n");
        return 2;
    }

    QString rssStart, rssEnd;
    long fdStart = 0, fdEnd = 0;
    Clock::time_point start, end;
    input->onStep = [&] {
        const long done = input->steps;
        if (done == kWarmUp) {
            rssStart = residentMemory();
            fdStart = openDescriptors();
            start = Clock::now();
        }
        if (done == total) {
            end = Clock::now();
            app.quit();
            return;
        }
        if (done % kRefill == 0)
            refill();
    };
    QTimer::singleShot(0, [&] {
        refill();
        driver.start(QThread::InheritPriority);
    });
    // Stalls end the run: the events not handled by then count as lost.
    long lastSteps = -1;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (input->steps == lastSteps) {
            end = Clock::now();
            app.quit();
        }
        lastSteps = input->steps;
    });
    watchdog.start(10000);
    app.exec();
    watchdog.stop();
    rssEnd = residentMemory();
    fdEnd = openDescriptors();

    driver.stop();
    driver.wait(3000);
    rewriter.kill();
    rewriter.waitForFinished(3000);
    const long rewrites = long(rewriter.readAllStandardOutput().count('\n'));

    const long lost = total - input->steps;
    const double seconds = micros(end - start) / 1e6;
    std::printf("soak: %ld events, %ld handled, %ld lost, %ld with unexpected input, "
                "%ld refused by the driver\n",
                total, input->steps, lost, input->mismatches, refused);
    std::printf("settings rewritten by the second process: %ld times (every 100 ms)\n", rewrites);
    std::printf("resident memory (VmRSS): %s after %ld events, %s at the end\n",
                qPrintable(rssStart), kWarmUp, qPrintable(rssEnd));
    std::printf("open file descriptors: %ld after %ld events, %ld at the end\n", fdStart, kWarmUp,
                fdEnd);
    std::printf("time: %.1f s for the %ld events after the warm-up (%.0f events/s)\n", seconds,
                input->steps - kWarmUp, seconds > 0 ? double(input->steps - kWarmUp) / seconds : 0.0);
    return lost == 0 && input->mismatches == 0 && refused == 0 && fdStart == fdEnd ? 0 : 1;
}
