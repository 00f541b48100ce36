// The receiver on Linux against emulated kernel devices: found among other
// devices, its commands answered through its hidraw node, its plugging seen, its
// mouse's events turned into records with the rest passed on, and the failures
// (a node without access, a device that vanishes while read, a mouse that cannot
// be taken) handled without leaving the mouse dead.
#include "evdev_filter.h"
#include "fake_receiver.h"
#include "hid.h"
#include "message_window.h"
#include "testbed.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <gtest/gtest.h>

#include <linux/hidraw.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace platform;
using testbed::event;

QStringList g_log;
std::mutex g_logMutex;
void keepLog(QtMsgType, const QMessageLogContext &, const QString &line)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_log << line;
}
bool logged(const QString &part)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    return !g_log.filter(part).isEmpty();
}

QCoreApplication &app()
{
    static int argc = 1;
    static char name[] = "test";
    static char *argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    qInstallMessageHandler(keepLog);
    return instance;
}

// The test bed, each device checked to be there.
struct CheckedBed : testbed::Bed
{
    CheckedBed() { EXPECT_TRUE(umockdev_in_mock_environment()) << "run under umockdev-wrapper"; }
    testbed::Device addUsb(const std::string &name, std::uint16_t vendorId, std::uint16_t productId,
                           const char *descriptor, bool mouse)
    {
        testbed::Device d = Bed::addUsb(name, vendorId, productId, descriptor, mouse);
        EXPECT_TRUE(d.added) << name;
        return d;
    }
};

void writeEvents(int fd, const std::vector<input_event> &events)
{
    ASSERT_TRUE(testbed::writeEvents(fd, events)) << "the stream node refused the events";
}

template <typename Pred> bool waitFor(Pred done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The hidraw node's firmware: output reports written to the node and input
// reports asked for with HIDIOCGINPUT go to the simulated receiver.
class ScriptedHidraw
{
public:
    ScriptedHidraw(CheckedBed &bed, const std::string &node, fake::FakeReceiver &firmware)
        : m_handler(umockdev_ioctl_base_new()), m_firmware(firmware)
    {
        g_signal_connect(m_handler, "handle-write", G_CALLBACK(onWrite), this);
        g_signal_connect(m_handler, "handle-ioctl", G_CALLBACK(onIoctl), this);
        EXPECT_TRUE(umockdev_testbed_attach_ioctl(bed.get(), node.c_str(), m_handler, nullptr));
    }
    ~ScriptedHidraw() { g_object_unref(m_handler); }

private:
    static gboolean onWrite(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self)
    {
        UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
        std::vector<std::uint8_t> report(arg->data, arg->data + arg->data_len);
        std::uint32_t error = 0;
        const bool ok =
            static_cast<ScriptedHidraw *>(self)->m_firmware.onOutputReport(report, error);
        umockdev_ioctl_client_complete(client, ok ? arg->data_len : -1, ok ? 0 : EIO);
        return TRUE;
    }
    static gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self)
    {
        const gulong request = umockdev_ioctl_client_get_request(client);
        const std::size_t length = _IOC_SIZE(request);
        if (request != gulong(HIDIOCGINPUT(length))) {
            umockdev_ioctl_client_complete(client, -1, ENOTTY);
            return TRUE;
        }
        UMockdevIoctlData *data =
            umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, length, nullptr);
        std::vector<std::uint8_t> report(data->data, data->data + length);
        std::uint32_t error = 0;
        if (!static_cast<ScriptedHidraw *>(self)->m_firmware.onInputReport(report, error)) {
            umockdev_ioctl_client_complete(client, -1, EIO);
            return TRUE;
        }
        std::copy(report.begin(), report.begin() + std::ptrdiff_t(length), data->data);
        umockdev_ioctl_client_complete(client, glong(length), 0);
        return TRUE;
    }

    UMockdevIoctlBase *m_handler;
    fake::FakeReceiver &m_firmware;
};

struct Others
{
    testbed::Device keyboard, stick, mouse;
};
Others addOtherDevices(CheckedBed &bed)
{
    return {bed.addUsb("1-2", 0x046D, 0xC31C, testbed::kKeyboardDescriptor, false),
            bed.addUsb("1-3", 0x0781, 0x5567, nullptr, false),
            bed.addUsb("1-4", 0x046D, 0xC077, testbed::kMouseDescriptor, true)};
}

TEST(ReceiverHid, FoundAmongOtherDevicesWithItsCollections)
{
    CheckedBed bed;
    addOtherDevices(bed);
    const testbed::Device receiver =
        bed.addUsb("1-1", 0x2F6B, 0x1813, testbed::kReceiverDescriptor, true);
    auto hid = createHidSystem();
    const auto paths = hid->interfacePaths();
    ASSERT_TRUE(paths);

    struct Seen
    {
        std::string path;
        HidAttributes attributes;
        HidCaps caps;
        std::vector<HidValueCaps> out;
    };
    std::vector<Seen> receivers;
    for (const std::string &path : *paths) {
        auto query = hid->open(path, HidAccess::Query);
        Seen s{path, {}, {}, {}};
        ASSERT_TRUE(query->isValid() && query->attributes(s.attributes)) << path;
        if (s.attributes.vendorId != 0x2F6B)
            continue;
        ASSERT_EQ(query->caps(s.caps), HidCapsResult::Ok);
        query->outputValueCaps(10, s.out);
        receivers.push_back(s);
    }
    // keyboard, other mouse, the receiver's two collections
    EXPECT_EQ(paths->size(), 4u);
    ASSERT_EQ(receivers.size(), 2u);
    EXPECT_EQ(receivers[0].path, receiver.hidraw);
    EXPECT_EQ(receivers[0].caps.usagePage, 0x01);
    EXPECT_EQ(receivers[0].caps.outputReportByteLength, 0);
    const Seen &command = receivers[1];
    EXPECT_EQ(command.path, receiver.hidraw + "&col02");
    EXPECT_EQ(command.attributes.productId, 0x1813);
    EXPECT_EQ(command.attributes.versionNumber, 0x0100);
    EXPECT_EQ(command.caps.usagePage, 0xFF00);
    EXPECT_EQ(command.caps.inputReportByteLength, 32);
    EXPECT_EQ(command.caps.outputReportByteLength, 32);
    EXPECT_EQ(command.caps.numberInputValueCaps, 1);
    EXPECT_EQ(command.caps.numberOutputValueCaps, 1);
    ASSERT_EQ(command.out.size(), 1u);
    EXPECT_EQ(command.out[0].reportId, 0xBA);
    EXPECT_EQ(command.out[0].reportCount, 31);
}

TEST(ReceiverHid, FourCommandsAnsweredThroughTheNode)
{
    CheckedBed bed;
    const testbed::Device receiver =
        bed.addUsb("1-1", 0x2F6B, 0x1812, testbed::kReceiverDescriptor, false);
    fake::FakeReceiver firmware;
    ScriptedHidraw script(bed, receiver.hidraw, firmware);
    auto handle = createHidSystem()->open(receiver.hidraw + "&col02", HidAccess::ReadWrite);
    ASSERT_TRUE(handle->isValid());

    struct Row
    {
        std::vector<std::uint8_t> command;
        std::uint8_t replyByte1; // after the acknowledgement
    };
    const Row rows[] = {
        {{0xA7}, 0xA0},             // read the mode: idle
        {{0xA0, 0x81, 0x01}, 0x00}, // enter pairing
        {{0xA1, 0x01}, 0x01},       // pair state: paired
        {{0xA1, 0x84}, 0x00},       // confirm
        {{0xA7}, 0xA0},             // back in idle mode
    };
    for (const Row &row : rows) {
        std::uint8_t report[32] = {0xBA};
        std::copy(row.command.begin(), row.command.end(), report + 1);
        std::uint32_t error = 0;
        ASSERT_TRUE(handle->setOutputReport(report, 32, error)) << error;
        std::uint8_t reply[32] = {0xBA};
        ASSERT_TRUE(handle->getInputReport(reply, 32, error)) << error;
        EXPECT_EQ(reply[0], 1) << int(row.command[0]);
        EXPECT_EQ(reply[1], row.replyByte1) << int(row.command[0]);
    }
    EXPECT_EQ(firmware.commands().size(), 5u);
    EXPECT_TRUE(firmware.mousePaired());

    firmware.setFailingReads(1);
    std::uint8_t reply[32] = {0xBA, 0x55};
    std::uint32_t error = 0;
    EXPECT_FALSE(handle->getInputReport(reply, 32, error));
    EXPECT_EQ(error, std::uint32_t(EIO));
    EXPECT_EQ(reply[1], 0x55) << "a failed read leaves the buffer";
}

// A node the user may not open: the handle is invalid and the log says how to
// grant access.
TEST(ReceiverHid, NodeWithoutAccessIsReported)
{
    app();
    CheckedBed bed;
    const testbed::Device receiver =
        bed.addUsb("1-1", 0x2F6B, 0x1813, testbed::kReceiverDescriptor, false);
    ASSERT_EQ(::chmod(bed.realPath(receiver.hidraw).c_str(), 0), 0);
    testbed::WithoutFileOverride asUser;
    auto handle = createHidSystem()->open(receiver.hidraw + "&col02", HidAccess::ReadWrite);
    EXPECT_FALSE(handle->isValid());
    EXPECT_TRUE(logged(QString::fromStdString(receiver.hidraw) +
                       ": no access to the receiver's device node"));
}

TEST(ReceiverPlug, ArrivalAndRemovalReachTheMainThread)
{
    app();
    CheckedBed bed;
    auto window = createMessageWindow();
    ASSERT_TRUE(window->create("VelkoOptions plug test " + std::to_string(::getpid())));
    std::vector<WindowMessage> seen;
    const std::thread::id main = std::this_thread::get_id();
    bool onMain = true;
    window->setMessageHandler([&](const WindowMessage &m) {
        onMain = onMain && std::this_thread::get_id() == main;
        seen.push_back(m);
    });
    ASSERT_EQ(window->registerUsbInterfaceNotifications(), 0u);

    const testbed::Device stick = bed.addUsb("1-3", 0x0781, 0x5567, nullptr, false);
    const testbed::Device receiver = bed.addUsb("1-1", 0x2F6B, 0x1813, nullptr, false);
    ASSERT_TRUE(waitFor([&] { return seen.size() >= 2; }));
    bed.remove(receiver);
    ASSERT_TRUE(waitFor([&] { return seen.size() >= 3; }));

    const std::pair<std::uintptr_t, const char *> expected[] = {
        {kDbtDeviceArrival, "VID_0781&PID_5567"},
        {kDbtDeviceArrival, "VID_2F6B&PID_1813"},
        {kDbtDeviceRemoveComplete, "VID_2F6B&PID_1813"}};
    ASSERT_EQ(seen.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i].message, kWmDeviceChange);
        EXPECT_EQ(seen[i].wParam, expected[i].first);
        EXPECT_TRUE(seen[i].hasBroadcast);
        EXPECT_EQ(seen[i].deviceType, kDbtDevtypDeviceInterface);
        EXPECT_NE(seen[i].interfaceName.find(expected[i].second), std::string::npos)
            << seen[i].interfaceName;
    }
    EXPECT_TRUE(onMain);
}

// The virtual mouse replaced by a recording.
struct Recording
{
    std::mutex mutex;
    std::vector<input_event> written;
    int takes = 0, releases = 0;
    bool refuse = false;

    std::vector<input_event> events()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return written;
    }
};
class RecordingPassThrough : public linuxport::PassThrough
{
public:
    explicit RecordingPassThrough(Recording &r) : m_r(r) {}
    bool take(int, std::string &why) override
    {
        std::lock_guard<std::mutex> lock(m_r.mutex);
        why = "refused by the test";
        ++m_r.takes;
        return !m_r.refuse;
    }
    void write(const input_event &e) override
    {
        std::lock_guard<std::mutex> lock(m_r.mutex);
        m_r.written.push_back(e);
    }
    void release(int) override
    {
        std::lock_guard<std::mutex> lock(m_r.mutex);
        ++m_r.releases;
    }

private:
    Recording &m_r;
};

struct Filter
{
    std::unique_ptr<FilterDevice> device;
    explicit Filter(linuxport::PassThroughFactory factory)
        : device(linuxport::createEvdevFilterDevice(std::move(factory)))
    {
        device->createSemaphore(8000);
        EXPECT_TRUE(device->open());
        const std::uint32_t token = device->semaphoreToken(), mask = 0x1FE;
        EXPECT_TRUE(device->control(kIoctlWtHook, &token, nullptr).ok);
        EXPECT_TRUE(device->control(kIoctlSetMsFilter, &mask, nullptr).ok);
    }
    ~Filter() { device->control(kIoctlWtUnhook, nullptr, nullptr); }

    // Reads records as the driver thread does, until `count` or a quiet second.
    std::vector<std::uint32_t> read(std::size_t count)
    {
        std::vector<std::uint32_t> records;
        QElapsedTimer quiet;
        quiet.start();
        while (records.size() < count && quiet.elapsed() < 1000) {
            std::uint32_t record = 0;
            if (device->control(kIoctlWtRead, nullptr, &record).ok) {
                records.push_back(record);
                quiet.restart();
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        return records;
    }
};

const input_event kSyn = event(EV_SYN, SYN_REPORT, 0);

TEST(ReceiverMouse, EventStreamBecomesRecordsInOrderAndTheRestPassesOn)
{
    CheckedBed bed;
    addOtherDevices(bed);
    const testbed::Device receiver =
        bed.addUsb("1-1", 0x2F6B, 0x1813, testbed::kReceiverDescriptor, true);
    Recording recording;
    Filter filter([&] { return std::make_unique<RecordingPassThrough>(recording); });
    ASSERT_TRUE(waitFor([&] { return recording.takes == 1; }));

    // One cycle: each event with the records it makes, and whether it passes on.
    struct Step
    {
        input_event e;
        std::vector<std::uint32_t> records;
        bool passes;
    };
    const Step cycle[] = {
        {event(EV_KEY, BTN_MIDDLE, 1), {0x04}, false},
        {event(EV_KEY, BTN_RIGHT, 1), {0x06}, false},
        {event(EV_KEY, BTN_MIDDLE, 0), {0x02}, false},
        {event(EV_KEY, BTN_RIGHT, 0), {0x00}, false},
        {event(EV_REL, REL_WHEEL, 2), {0x101, 0x101}, false},
        {event(EV_REL, REL_WHEEL_HI_RES, 240), {}, false},
        {event(EV_REL, REL_WHEEL, -1), {0x1FF}, false},
        {event(EV_REL, REL_HWHEEL, 1), {0x201}, false},
        {event(EV_REL, REL_HWHEEL, -1), {0x2FF}, false},
        {event(EV_KEY, BTN_SIDE, 1), {0x08}, false},
        {event(EV_KEY, BTN_SIDE, 2), {}, false}, // autorepeat
        {event(EV_KEY, BTN_SIDE, 0), {0x00}, false},
        {event(EV_KEY, BTN_EXTRA, 1), {0x10}, false},
        {event(EV_KEY, BTN_EXTRA, 0), {0x00}, false},
        {event(EV_REL, REL_X, 5), {}, true},
        {event(EV_REL, REL_Y, -3), {}, true},
        {event(EV_KEY, BTN_LEFT, 1), {}, true},
        {event(EV_KEY, BTN_LEFT, 0), {}, true},
    };
    constexpr int kCycles = 250; // 9,000 events with the reports
    std::vector<input_event> stream;
    std::vector<std::uint32_t> expected;
    std::vector<input_event> passed;
    for (int c = 0; c < kCycles; ++c)
        for (const Step &s : cycle) {
            stream.push_back(s.e);
            stream.push_back(kSyn);
            expected.insert(expected.end(), s.records.begin(), s.records.end());
            if (s.passes)
                passed.push_back(s.e);
            passed.push_back(kSyn);
        }
    ASSERT_GE(stream.size(), 8000u);
    std::thread writer([&] { writeEvents(bed.streamFd(receiver.eventNode), stream); });
    const std::vector<std::uint32_t> records = filter.read(expected.size() + 1);
    writer.join();

    EXPECT_EQ(records.size(), expected.size());
    EXPECT_TRUE(records == expected) << "records out of order or changed";
    ASSERT_TRUE(waitFor([&] { return recording.events().size() >= passed.size(); }));
    const std::vector<input_event> written = recording.events();
    ASSERT_EQ(written.size(), passed.size());
    for (std::size_t i = 0; i < passed.size(); ++i)
        ASSERT_TRUE(written[i].type == passed[i].type && written[i].code == passed[i].code &&
                    written[i].value == passed[i].value)
            << "pass-through event " << i;
}

TEST(ReceiverMouse, WithoutFilterMaskEverythingPassesOn)
{
    CheckedBed bed;
    const testbed::Device receiver =
        bed.addUsb("1-1", 0x2F6B, 0x1813, testbed::kReceiverDescriptor, true);
    Recording recording;
    Filter filter([&] { return std::make_unique<RecordingPassThrough>(recording); });
    const std::uint32_t zero = 0;
    filter.device->control(kIoctlSetMsFilter, &zero, nullptr);
    ASSERT_TRUE(waitFor([&] { return recording.takes == 1; }));
    writeEvents(bed.streamFd(receiver.eventNode),
                {event(EV_KEY, BTN_MIDDLE, 1), kSyn, event(EV_REL, REL_WHEEL, 1), kSyn});
    ASSERT_TRUE(waitFor([&] { return recording.events().size() == 4; }));
    EXPECT_TRUE(filter.read(1).empty());
}

TEST(ReceiverMouse, VanishingMidReadGivesBackAndRetakesOnReturn)
{
    CheckedBed bed;
    testbed::Device receiver =
        bed.addUsb("1-1", 0x2F6B, 0x1813, testbed::kReceiverDescriptor, true);
    Recording recording;
    Filter filter([&] { return std::make_unique<RecordingPassThrough>(recording); });
    ASSERT_TRUE(waitFor([&] { return recording.takes == 1; }));
    const int fd = bed.streamFd(receiver.eventNode);
    // Half an event is in flight when the device goes.
    writeEvents(fd, {event(EV_KEY, BTN_RIGHT, 1), kSyn});
    const input_event half = event(EV_KEY, BTN_RIGHT, 0);
    ASSERT_EQ(::write(fd, &half, sizeof half / 2), ssize_t(sizeof half / 2));
    EXPECT_EQ(filter.read(1), std::vector<std::uint32_t>{0x02});
    bed.remove(receiver);
    ASSERT_TRUE(waitFor([&] { return recording.releases == 1; }));

    receiver = bed.addUsb("1-5", 0x2F6B, 0x1813, testbed::kReceiverDescriptor, true);
    ASSERT_TRUE(waitFor([&] { return recording.takes == 2; }));
    writeEvents(bed.streamFd(receiver.eventNode), {event(EV_REL, REL_HWHEEL, 1), kSyn});
    EXPECT_EQ(filter.read(1), std::vector<std::uint32_t>{0x201});
}

// Refusals: the pass-through cannot take the device (as without uinput), or the
// node may not be opened. Nothing is withheld and the reason is logged.
TEST(ReceiverMouse, NotTakenWhenThePassThroughRefusesOrTheNodeIsClosed)
{
    app();
    struct Row
    {
        const char *name;
        bool refuse;
        bool closeNode;
        const char *logLine;
    };
    const Row rows[] = {
        {"refused", true, false, "mouse controls not taken, the mouse works as it is"},
        {"real uinput path", false, false, "mouse controls not taken, the mouse works as it is"},
        {"no access", false, true, "no access to the receiver's device node"},
    };
    for (const Row &row : rows) {
        CheckedBed bed;
        const testbed::Device receiver =
            bed.addUsb("1-1", 0x2F6B, 0x1813, testbed::kReceiverDescriptor, true);
        if (row.closeNode)
            ::chmod(bed.realPath(receiver.eventNode).c_str(), 0);
        std::optional<testbed::WithoutFileOverride> asUser;
        if (row.closeNode)
            asUser.emplace();
        Recording recording;
        recording.refuse = row.refuse;
        const bool real = std::string(row.name) == "real uinput path";
        Filter filter([&]() -> std::unique_ptr<linuxport::PassThrough> {
            if (real)
                return linuxport::createUinputPassThrough();
            return std::make_unique<RecordingPassThrough>(recording);
        });
        EXPECT_TRUE(waitFor([&] { return logged(row.logLine); }, 3000)) << row.name;
        writeEvents(bed.streamFd(receiver.eventNode), {event(EV_KEY, BTN_MIDDLE, 1), kSyn});
        EXPECT_TRUE(filter.read(1).empty()) << row.name;
        EXPECT_TRUE(recording.events().empty()) << row.name;
    }
}

} // namespace
