// The agent on Linux, end to end: the receiver mouse's events on an emulated
// event node reach the dispatcher's actions in order, none lost, while the
// pointer's own events go on to the virtual mouse.
#include "testbed.h" // GLib before Qt's keywords

#include "evdev_filter.h"
#include "fake_agent_platform.h"
#include "mainwindow.h"
#include "usbdriver.h"

#include <QtTest>

#include <mutex>

namespace {
struct Passed : platform::linuxport::PassThrough
{
    std::mutex &mutex;
    std::vector<input_event> &events;
    Passed(std::mutex &m, std::vector<input_event> &e) : mutex(m), events(e) {}
    bool take(int, std::string &) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(testbed::event(EV_MAX, 0, 0)); // marks the take
        return true;
    }
    void write(const input_event &e) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(e);
    }
    void release(int) override {}
};
} // namespace

class TestReceiverEvents : public QObject
{
    Q_OBJECT

private slots:
    void eventsReachTheActionsInOrder()
    {
        SettingsFolder folder;
        folder.setModel(QStringLiteral("QX210"));
        folder.setModelValues(QStringLiteral("QX210"),
                              {{"SET/Right_key", "Mouse right click-35-rightKey"},
                               {"SET/Mid_wheel", "Song Previous/Next-6-midWheel"},
                               {"SET/Side_wheel", "Play/Pause-7-slideWheel"},
                               {"SET/isConf", "Y"}});
        testbed::Bed bed;
        QVERIFY2(umockdev_in_mock_environment(), "run under umockdev-wrapper");
        const testbed::Device receiver =
            bed.addUsb("1-1", 0x2F6B, 0x1812, testbed::kReceiverDescriptor, true);
        QVERIFY(receiver.added);

        FakeAgentPlatform fakes;
        fakes.platform.nativeMessages = platform::createNativeMessages(); // delivers its posts
        std::mutex mutex;
        std::vector<input_event> passed;
        auto filter = platform::linuxport::createEvdevFilterDevice(
            [&] { return std::make_unique<Passed>(mutex, passed); });
        MainWindow window(fakes.platform);
        USBDriver driver(*filter);
        QVERIFY(driver.open());
        driver.start();

        // Each event with what its action sends.
        const std::vector<std::pair<input_event, QStringList>> cycle = {
            {testbed::event(EV_KEY, BTN_RIGHT, 1), {"mouse 0x8 0"}},
            {testbed::event(EV_REL, REL_X, 3), {}},
            {testbed::event(EV_KEY, BTN_RIGHT, 0), {"mouse 0x10 0"}},
            {testbed::event(EV_REL, REL_WHEEL, 1), {"key 0xB1 1", "key 0xB1 3"}},
            {testbed::event(EV_KEY, BTN_LEFT, 1), {}},
            {testbed::event(EV_KEY, BTN_LEFT, 0), {}},
            {testbed::event(EV_REL, REL_HWHEEL, -1), {"key 0xB3 1", "key 0xB3 3"}},
        };
        std::vector<input_event> stream;
        QStringList expected;
        for (int i = 0; i < 200; ++i)
            for (const auto &[e, input] : cycle) {
                stream.insert(stream.end(), {e, testbed::event(EV_SYN, SYN_REPORT, 0)});
                expected += input;
            }
        const auto taken = [&] {
            std::lock_guard<std::mutex> lock(mutex);
            return passed.size() == 1;
        };
        QTRY_VERIFY_WITH_TIMEOUT(taken(), 5000);
        QVERIFY(testbed::writeEvents(bed.streamFd(receiver.eventNode), stream));
        const auto seen = [&] {
            QStringList lines;
            for (const std::string &line : fakes.input->describedEvents())
                lines << QString::fromStdString(line);
            return lines;
        };
        QTRY_COMPARE_WITH_TIMEOUT(seen().size(), expected.size(), 10000);
        QCOMPARE(seen(), expected);
        driver.stop();
        driver.wait(3000);
        std::lock_guard<std::mutex> lock(mutex);
        // motion and the left clicks, and the end of each of the seven reports
        QCOMPARE(passed.size(), std::size_t(1 + 200 * (3 + 7)));
    }
};

QTEST_MAIN(TestReceiverEvents)
#include "tst_receiverevents.moc"
