// The receiver on Linux against emulated kernel devices: found, its commands answered,
// its plugging seen, its mouse's events turned into records, failures leaving the mouse alive.
#include "evdev_filter.h"
#include "fake_receiver.h"
#include "hid.h"
#include "message_window.h"
#include "testbed.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <gtest/gtest.h>

#include <climits>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace platform;
using testbed::event;
using Records = std::vector<std::uint32_t>;
constexpr int kMaxNotches = 8; // the cap of one wheel event, as a value: a larger one goes unseen otherwise

std::mutex g_logMutex;
QStringList g_log;
bool logged(const QString &part)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    return !g_log.filter(part).isEmpty();
}
void app()
{
    static int argc = 1;
    static char name[] = "test", *argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &line) {
        std::lock_guard<std::mutex> lock(g_logMutex);
        g_log << line;
    });
}

template <typename Pred> bool waitFor(Pred done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

struct Bed : testbed::Bed
{
    Bed()
    {
        app();
        EXPECT_TRUE(umockdev_in_mock_environment()) << "run under umockdev-wrapper";
    }
    testbed::Device add(const char *name, std::uint16_t productId, bool mouse = true,
                        std::uint16_t vendorId = 0x2F6B,
                        const char *descriptor = testbed::kReceiverDescriptor)
    {
        testbed::Device d = addUsb(name, vendorId, productId, descriptor, mouse);
        EXPECT_TRUE(d.added) << name;
        return d;
    }
    void addOthers() // a keyboard, a USB stick, another maker's mouse
    {
        add("1-2", 0xC31C, false, 0x046D, testbed::kKeyboardDescriptor);
        add("1-3", 0x5567, false, 0x0781, nullptr);
        add("1-4", 0xC077, true, 0x046D, testbed::kMouseDescriptor);
    }
    void write(const testbed::Device &d, const std::vector<input_event> &events)
    {
        ASSERT_TRUE(testbed::writeEvents(streamFd(d.eventNode), events));
    }
};

TEST(ReceiverHid, FoundAmongOtherDevicesWithItsCollections)
{
    Bed bed;
    bed.addOthers();
    const std::string node = bed.add("1-1", 0x1813).hidraw;
    auto hid = createHidSystem();
    const std::vector<std::string> paths =
        hid->interfacePaths().value_or(std::vector<std::string>());
    std::vector<std::string> seen;
    for (const std::string &path : paths) {
        auto query = hid->open(path, HidAccess::Query);
        HidAttributes a;
        HidCaps c;
        std::vector<HidValueCaps> out;
        ASSERT_TRUE(query->attributes(a) && query->caps(c) == HidCapsResult::Ok) << path;
        if (a.vendorId != 0x2F6B)
            continue;
        query->outputValueCaps(10, out);
        char line[128];
        std::snprintf(line, sizeof line, "%s %04x v%04x page %04x in %d out %d caps %d/%d%s",
                      path.substr(node.size()).c_str(), a.productId, a.versionNumber, c.usagePage,
                      c.inputReportByteLength, c.outputReportByteLength, c.numberInputValueCaps,
                      c.numberOutputValueCaps,
                      out.size() == 1 && out[0].reportId == 0xBA && out[0].reportCount == 31
                          ? " id BA x31"
                          : "");
        seen.push_back(line);
    }
    const std::vector<std::string> expected = {
        " 1813 v0100 page 0001 in 5 out 0 caps 3/0",
        "&col02 1813 v0100 page ff00 in 32 out 32 caps 1/1 id BA x31"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(paths.size(), 4u) << "keyboard, other mouse, two of the receiver";
}

// The commands' answers through the node are the pairing's, in tst_receiverpairing.
TEST(ReceiverHid, FailedReadThroughTheNodeLeavesTheBuffer)
{
    Bed bed;
    const std::string node = bed.add("1-1", 0x1812, false).hidraw;
    fake::FakeReceiver firmware;
    testbed::ScriptedHidraw script(bed, node, firmware);
    ASSERT_TRUE(script.attached());
    auto handle = createHidSystem()->open(node + "&col02", HidAccess::ReadWrite);
    ASSERT_TRUE(handle->isValid());
    firmware.setFailingReads(1);
    std::uint8_t reply[32] = {0xBA, 0x55};
    std::uint32_t error = 0;
    EXPECT_FALSE(handle->getInputReport(reply, 32, error));
    EXPECT_EQ(error, std::uint32_t(EIO));
    EXPECT_EQ(reply[1], 0x55) << "a failed read leaves the buffer";
}

TEST(ReceiverHid, NodeWithoutAccessIsReported)
{
    Bed bed;
    const std::string node = bed.add("1-1", 0x1813, false).hidraw;
    ASSERT_EQ(::chmod(bed.realPath(node).c_str(), 0), 0);
    testbed::WithoutFileOverride asUser;
    EXPECT_FALSE(createHidSystem()->open(node + "&col02", HidAccess::ReadWrite)->isValid());
    EXPECT_TRUE(logged(QString::fromStdString(node) + ": no access to the receiver's device node"));
}

TEST(ReceiverPlug, ArrivalAndRemovalReachTheMainThread)
{
    Bed bed;
    auto window = createMessageWindow();
    ASSERT_TRUE(window->create("VelkoOptions plug test " + std::to_string(::getpid())));
    std::vector<std::string> seen;
    const std::thread::id main = std::this_thread::get_id();
    window->setMessageHandler([&](const WindowMessage &m) {
        const bool broadcast = m.message == kWmDeviceChange && m.hasBroadcast &&
                               m.deviceType == kDbtDevtypDeviceInterface &&
                               std::this_thread::get_id() == main;
        const std::size_t ids = m.interfaceName.find("VID_");
        seen.push_back((m.wParam == kDbtDeviceArrival ? "in " : "out ") +
                       (broadcast && ids != std::string::npos ? m.interfaceName.substr(ids, 17)
                                                              : m.interfaceName));
    });
    ASSERT_EQ(window->registerUsbInterfaceNotifications(), 0u);
    bed.add("1-3", 0x5567, false, 0x0781, nullptr);
    const testbed::Device receiver = bed.add("1-1", 0x1813, false, 0x2F6B, nullptr);
    ASSERT_TRUE(waitFor([&] { return seen.size() >= 2; }));
    bed.remove(receiver);
    ASSERT_TRUE(waitFor([&] { return seen.size() >= 3; }));
    const std::vector<std::string> expected = {"in VID_0781&PID_5567", "in VID_2F6B&PID_1813",
                                               "out VID_2F6B&PID_1813"};
    EXPECT_EQ(seen, expected);
}

// The virtual mouse replaced by a recording; `refuse` plays a kernel without uinput.
struct Recording : linuxport::PassThrough
{
    struct State
    {
        std::mutex mutex;
        std::vector<input_event> written;
        int takes = 0, releases = 0;
        bool refuse = false;
    };
    State &s;
    explicit Recording(State &state) : s(state) {}
    bool take(int, std::string &why) override
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        why = "refused by the test";
        return ++s.takes && !s.refuse;
    }
    void write(const input_event &e) override
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.written.push_back(e);
    }
    void release(int) override
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        ++s.releases;
    }
};

struct Filter
{
    Recording::State state;
    std::unique_ptr<FilterDevice> device;
    explicit Filter(std::uint32_t mask = 0x1FE, bool realPassThrough = false, bool refuse = false)
        : device(linuxport::createEvdevFilterDevice(
              [this, realPassThrough]() -> std::unique_ptr<linuxport::PassThrough> {
                  if (realPassThrough)
                      return linuxport::createUinputPassThrough();
                  return std::make_unique<Recording>(state);
              }))
    {
        state.refuse = refuse;
        device->createSemaphore(8000);
        const std::uint32_t token = device->semaphoreToken();
        EXPECT_TRUE(device->open() && device->control(kIoctlWtHook, &token, nullptr).ok &&
                    device->control(kIoctlSetMsFilter, &mask, nullptr).ok);
    }
    ~Filter() { device->control(kIoctlWtUnhook, nullptr, nullptr); }
    int takes() { return std::lock_guard<std::mutex>(state.mutex), state.takes; }
    int releases() { return std::lock_guard<std::mutex>(state.mutex), state.releases; }
    std::vector<input_event> written()
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        return state.written;
    }
    // Reads records as the driver thread does, until `count` or a quiet second.
    Records read(std::size_t count)
    {
        Records records;
        QElapsedTimer quiet;
        quiet.start();
        for (std::uint32_t r = 0; records.size() < count && quiet.elapsed() < 1000;) {
            if (!device->control(kIoctlWtRead, nullptr, &r).ok) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            records.push_back(r);
            quiet.restart();
        }
        return records;
    }
};

const input_event kSyn = event(EV_SYN, SYN_REPORT, 0);

bool same(const input_event &a, const input_event &b)
{
    return a.type == b.type && a.code == b.code && a.value == b.value;
}

TEST(ReceiverMouse, EventStreamBecomesRecordsInOrderAndTheRestPassesOn)
{
    Bed bed;
    bed.addOthers();
    const testbed::Device receiver = bed.add("1-1", 0x1813);
    Filter filter;
    ASSERT_TRUE(waitFor([&] { return filter.takes() == 1; }));
    // Each event with the records it makes; no record and not `withheld`: passed on.
    const struct
    {
        input_event e;
        Records records;
        bool withheld;
    } cycle[] = {
        {event(EV_KEY, BTN_MIDDLE, 1), {0x04}, true},
        {event(EV_KEY, BTN_RIGHT, 1), {0x06}, true},
        {event(EV_KEY, BTN_MIDDLE, 0), {0x02}, true},
        {event(EV_KEY, BTN_RIGHT, 0), {0x00}, true},
        {event(EV_REL, REL_WHEEL, 2), {0x101, 0x101}, true},
        {event(EV_REL, REL_WHEEL_HI_RES, 240), {}, true},
        {event(EV_REL, REL_WHEEL, -1), {0x1FF}, true},
        {event(EV_REL, REL_HWHEEL, 1), {0x201}, true},
        {event(EV_REL, REL_HWHEEL, -1), {0x2FF}, true},
        // a device that claims far more notches: no more than the cap
        {event(EV_REL, REL_WHEEL, INT_MAX), Records(kMaxNotches, 0x101), true},
        {event(EV_REL, REL_HWHEEL, INT_MIN), Records(kMaxNotches, 0x2FF), true},
        {event(EV_KEY, BTN_SIDE, 1), {0x08}, true},
        {event(EV_KEY, BTN_SIDE, 0), {0x00}, true},
        {event(EV_KEY, BTN_SIDE, 2), {}, true}, // autorepeat of a key it saw released
        {event(EV_KEY, BTN_EXTRA, 1), {0x10}, true},
        {event(EV_KEY, BTN_EXTRA, 0), {0x00}, true},
        {event(EV_REL, REL_X, 5), {}, false},
        {event(EV_REL, REL_Y, -3), {}, false},
        {event(EV_KEY, BTN_LEFT, 1), {}, false},
        {event(EV_KEY, BTN_LEFT, 0), {}, false},
    };
    std::vector<input_event> stream, passed;
    Records expected;
    for (int c = 0; c < 250; ++c) // 10,000 events with the reports, 7,250 records
        for (const auto &s : cycle) {
            stream.insert(stream.end(), {s.e, kSyn});
            expected.insert(expected.end(), s.records.begin(), s.records.end());
            if (!s.withheld)
                passed.push_back(s.e);
            passed.push_back(kSyn);
        }
    std::thread writer([&] { bed.write(receiver, stream); });
    const Records records = filter.read(expected.size() + 1);
    writer.join();
    EXPECT_TRUE(records == expected) << records.size() << " of " << expected.size();
    ASSERT_TRUE(waitFor([&] { return filter.written().size() >= passed.size(); }));
    const std::vector<input_event> written = filter.written();
    EXPECT_TRUE(std::equal(written.begin(), written.end(), passed.begin(), passed.end(), same));
}

TEST(ReceiverMouse, WithoutFilterMaskEverythingPassesOn)
{
    Bed bed;
    const testbed::Device receiver = bed.add("1-1", 0x1813);
    Filter filter(0);
    ASSERT_TRUE(waitFor([&] { return filter.takes() == 1; }));
    bed.write(receiver, {event(EV_KEY, BTN_MIDDLE, 1), kSyn, event(EV_REL, REL_WHEEL, 1), kSyn});
    EXPECT_TRUE(waitFor([&] { return filter.written().size() == 4; }));
    EXPECT_TRUE(filter.read(1).empty());
}

TEST(ReceiverMouse, VanishingMidReadGivesBackAndRetakesOnReturn)
{
    Bed bed;
    testbed::Device receiver = bed.add("1-1", 0x1813);
    Filter filter;
    ASSERT_TRUE(waitFor([&] { return filter.takes() == 1; }));
    // Half an event is in flight when the device goes.
    bed.write(receiver, {event(EV_KEY, BTN_RIGHT, 1), kSyn});
    const input_event half = event(EV_KEY, BTN_RIGHT, 0);
    ASSERT_EQ(::write(bed.streamFd(receiver.eventNode), &half, sizeof half / 2),
              ssize_t(sizeof half / 2));
    EXPECT_EQ(filter.read(1), Records{0x02});
    bed.remove(receiver);
    ASSERT_TRUE(waitFor([&] { return filter.releases() == 1; }));

    receiver = bed.add("1-5", 0x1813);
    // The old node is still listed while its removal is announced: only the new one is taken.
    ASSERT_TRUE(waitFor([&] {
        return logged(QString::fromStdString("mouse controls taken from " + receiver.eventNode));
    }));
    EXPECT_EQ(filter.takes(), 2);
    // The reader starts watching the new node just after it is taken: a notch written
    // in between may not be seen, so the test notches again until one arrives.
    Records records;
    for (int tries = 0; tries < 5 && records.empty(); ++tries) {
        bed.write(receiver, {event(EV_REL, REL_HWHEEL, 1), kSyn});
        records = filter.read(1);
    }
    EXPECT_EQ(records, Records{0x201});
}

// Nothing is withheld, and the reason is logged, when the pass-through cannot
// take the device or the node may not be opened.
TEST(ReceiverMouse, NotTakenWhenThePassThroughRefusesOrTheNodeIsClosed)
{
    const struct
    {
        const char *name;
        bool refuse, realPassThrough, closeNode;
        const char *logLine;
    } rows[] = {
        {"refused", true, false, false, "mouse controls not taken, the mouse works as it is"},
        {"real uinput", false, true, false, "mouse controls not taken, the mouse works as it is"},
        {"no access", false, false, true, "no access to the receiver's device node"},
    };
    for (const auto &row : rows) {
        Bed bed;
        const testbed::Device receiver = bed.add("1-1", 0x1813);
        std::optional<testbed::WithoutFileOverride> asUser;
        if (row.closeNode && ::chmod(bed.realPath(receiver.eventNode).c_str(), 0) == 0)
            asUser.emplace();
        Filter filter(0x1FE, row.realPassThrough, row.refuse);
        EXPECT_TRUE(waitFor([&] { return logged(row.logLine); }, 3000)) << row.name;
        bed.write(receiver, {event(EV_KEY, BTN_MIDDLE, 1), kSyn});
        EXPECT_TRUE(filter.read(1).empty()) << row.name;
        EXPECT_TRUE(filter.written().empty()) << row.name;
    }
}

} // namespace
