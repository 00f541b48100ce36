// The filter-driver client against the simulated driver: record decoding, the
// driver key table, failing requests, the thread's start and stop, and the
// forwarding of every event to the hub.
#include "appenv.h"
#include "fake_agent_platform.h"
#include "logcapture.h"
#include "singletonglobalmousehook.h"
#include "usbdriver.h"

#include <QtTest>

using platform::fake::FakeFilterDevice;

namespace {

std::vector<std::uint32_t> codes(const std::vector<FakeFilterDevice::Request> &requests)
{
    std::vector<std::uint32_t> out;
    for (const auto &r : requests)
        out.push_back(r.code);
    return out;
}

// Collects what the hub emits.
class HubRecorder : public QObject
{
public:
    HubRecorder()
    {
        connect(SingletonGlobalMouseHook::instance(), &SingletonGlobalMouseHook::sig_mouseHookParam,
                this, [this](int type, int code) {
                    types << type;
                    msgCodes << code;
                });
    }
    QList<int> types;
    QList<int> msgCodes;
};

} // namespace

class TestUsbDriver : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void decodeRecords_data();
    void decodeRecords();
    void everyRecordIsLogged();
    void recordLogLines_data();
    void recordLogLines();
    void keyTable_data();
    void keyTable();
    void filterMaskIsBuiltFromItsFlags();
    void absentDriver();
    void refusedHook();
    void failingFilterRequestIsLogged();
    void closeLogsEachFailure();
    void stopWithoutThreadDoesNothing();
    void stopEndsTheThreadAfterAFailedOpen();
    void failedReadDoesNotEndTheLoop();
    void eventsAreForwardedWithoutAModel();
    void middleReleaseLogsTheMiddleKeysIndex();
    void fullQueueIsReadInOrder();

private:
    void stopAndWait(USBDriver &driver);

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<FakeFilterDevice> m_device;
};

void TestUsbDriver::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_folder->setModel("QX210");
    m_device = std::make_unique<FakeFilterDevice>();
}

void TestUsbDriver::cleanup()
{
    m_device.reset();
    m_folder.reset();
}

void TestUsbDriver::stopAndWait(USBDriver &driver)
{
    driver.stop();
    QVERIFY(driver.wait(3000));
}

void TestUsbDriver::decodeRecords_data()
{
    QTest::addColumn<QVector<quint32>>("records");
    QTest::addColumn<QVector<int>>("keys");

    using R = QVector<quint32>;
    using K = QVector<int>;
    QTest::newRow("right press and release") << R{0x02, 0x00} << K{1, 2};
    QTest::newRow("middle press and release") << R{0x04, 0x00} << K{3, 4};
    QTest::newRow("side down press and release") << R{0x08, 0x00} << K{5, 6};
    QTest::newRow("side up press and release") << R{0x10, 0x00} << K{7, 8};
    QTest::newRow("two bits at once, lower first") << R{0x06} << K{1, 3};
    QTest::newRow("all four at once") << R{0x1E, 0x00} << K{1, 3, 5, 7, 2, 4, 6, 8};
    QTest::newRow("one up, another down") << R{0x02, 0x04} << K{1, 2, 3};
    QTest::newRow("same bitmap twice") << R{0x04, 0x04, 0x04} << K{3};
    QTest::newRow("left button alone") << R{0x01, 0x00, 0x01} << K{};
    QTest::newRow("left button beside middle") << R{0x05, 0x04, 0x00} << K{3, 4};
    QTest::newRow("bits 5 to 7 ignored") << R{0xE0, 0x00, 0xE4} << K{3};
    QTest::newRow("wheel up") << R{0x101} << K{9};
    QTest::newRow("wheel down") << R{0x1FF} << K{10};
    QTest::newRow("side wheel right") << R{0x201} << K{11};
    QTest::newRow("side wheel left") << R{0x2FF} << K{12};
    QTest::newRow("wheel between press and release") << R{0x04, 0x101, 0x00} << K{3, 9, 4};
    QTest::newRow("wheel does not reset the bitmap") << R{0x04, 0x2FF, 0x04} << K{3, 12};
    QTest::newRow("unknown values above 0xFF")
        << R{0x100, 0x102, 0x200, 0x300, 0x1FE, 0xFFFFFFFF, 0x10004} << K{};
    QTest::newRow("unknown value keeps the bitmap") << R{0x04, 0x10000, 0x00} << K{3, 4};
}

void TestUsbDriver::decodeRecords()
{
    QFETCH(QVector<quint32>, records);
    QFETCH(QVector<int>, keys);
    std::uint32_t previous = 0;
    QVector<int> seen;
    for (quint32 r : records)
        seen += USBDriver::decodeRecord(r, previous);
    QCOMPARE(seen, keys);
}

void TestUsbDriver::everyRecordIsLogged()
{
    LogCapture log;
    std::uint32_t previous = 0;
    for (std::uint32_t r : {0x04u, 0x04u, 0x101u, 0x12345u})
        USBDriver::decodeRecord(r, previous);
    QCOMPARE(log.lines().filter(QStringLiteral("lDataRead")),
             (QStringList{"lDataRead 4", "lDataRead 4", "lDataRead 101", "lDataRead 12345"}));
}

void TestUsbDriver::recordLogLines_data()
{
    QTest::addColumn<quint32>("previous");
    QTest::addColumn<quint32>("record");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("wheel up") << 0u << 0x101u
                              << QStringList{"DeviceMessageEvent:滚轮上滚\r\n", "lDataRead 101"};
    QTest::newRow("wheel down") << 0u << 0x1FFu
                                << QStringList{"DeviceMessageEvent:滚轮下滚\r\n", "lDataRead 1ff"};
    QTest::newRow("right") << 0u << 0x201u
                           << QStringList{"DeviceMessageEvent:滚轮右滚\r\n", "lDataRead 201"};
    QTest::newRow("left") << 0u << 0x2FFu
                          << QStringList{"DeviceMessageEvent:滚轮左滚\r\n", "lDataRead 2ff"};
    QTest::newRow("presses") << 0u << 0x12u << QStringList{"按下 1", "按下 4", "lDataRead 12"};
    QTest::newRow("releases") << 0x12u << 0x00u << QStringList{"松开 1", "松开 4", "lDataRead 0"};
    QTest::newRow("unknown") << 0u << 0x333u << QStringList{"lDataRead 333"};
}

void TestUsbDriver::recordLogLines()
{
    QFETCH(quint32, previous);
    QFETCH(quint32, record);
    QFETCH(QStringList, lines);
    std::uint32_t bitmap = previous;
    LogCapture log;
    USBDriver::decodeRecord(record, bitmap);
    QCOMPARE(log.lines(), lines);
}

void TestUsbDriver::keyTable_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("msgType");
    const int table[][2] = {{1, 8},  {2, 9},   {3, 0},   {4, 1},   {5, 6},  {6, 7},
                            {7, 4},  {8, 5},   {9, 11},  {10, 10}, {11, 3}, {12, 2},
                            {0, -1}, {13, -1}, {-1, -1}, {100, -1}};
    for (const auto &row : table)
        QTest::addRow("key %d", row[0]) << row[0] << row[1];
}

void TestUsbDriver::keyTable()
{
    QFETCH(int, key);
    QFETCH(int, msgType);
    QCOMPARE(USBDriver::msgTypeForKey(key), msgType);
    // And the forwarding slot hands exactly that to the hub.
    USBDriver driver(*m_device);
    HubRecorder hub;
    driver.slot_mouseClicked(key);
    QCOMPARE(hub.types, QList<int>{msgType});
    QCOMPARE(hub.msgCodes, QList<int>{-1});
}

void TestUsbDriver::filterMaskIsBuiltFromItsFlags()
{
    QCOMPARE(USBDriver::kMouseFilterMask, 0x1FEu);
    QCOMPARE(USBDriver::kMouseFilterMask & 0x01u, 0u);
    QCOMPARE(USBDriver::kSemaphoreMaximum, 8000u);
}

void TestUsbDriver::absentDriver()
{
    m_device->setPresent(false);
    USBDriver driver(*m_device);
    QVERIFY(!driver.open());
    QCOMPARE(m_device->debugLines(),
             std::vector<std::string>{"Vl Wireless Drv: Open driver failed."});
    QVERIFY(m_device->requests().empty());
    QVERIFY(!driver.setMouseFilter(0x1FE));
    QVERIFY(m_device->requests().empty());
}

void TestUsbDriver::refusedHook()
{
    m_device->setFailingCode(platform::kIoctlWtHook);
    USBDriver driver(*m_device);
    LogCapture log;
    QVERIFY(!driver.open());
    QVERIFY(log.contains(QStringLiteral("USBDriver:IOCTL_WT_HOOK FAIL")));
    QVERIFY(!log.contains(QStringLiteral("USBDriver:IOCTL_WT_HOOK OK")));
    QVERIFY(!m_device->isOpen());
    QCOMPARE(codes(m_device->requests()), std::vector<std::uint32_t>{platform::kIoctlWtHook});
}

void TestUsbDriver::failingFilterRequestIsLogged()
{
    USBDriver driver(*m_device);
    QVERIFY(driver.open());
    LogCapture log;
    QVERIFY(driver.setMouseFilter(0x1FE));
    QVERIFY(log.contains(QStringLiteral("USBDriver:IOCTL_SET_MSFILTER：510  0 OK")));
    m_device->setFailingCode(platform::kIoctlSetMsFilter);
    QVERIFY(!driver.setMouseFilter(0));
    QVERIFY(log.contains(QStringLiteral("USBDriver:IOCTL_SET_MSFILTER FAIL\r\n")));
    QCOMPARE(m_device->mouseFilter(), 0x1FEu);
}

void TestUsbDriver::closeLogsEachFailure()
{
    USBDriver driver(*m_device);
    QVERIFY(driver.open());
    m_device->setFailingCode(platform::kIoctlSetKbFilter);
    LogCapture log;
    driver.close();
    QVERIFY(log.contains(QStringLiteral("ERROR: IOCTL_SET_KBFILTER failed, error=31\n")));
    QVERIFY(!log.contains(QStringLiteral("IOCTL_SET_MSFILTER failed")));
    QVERIFY(log.contains(QStringLiteral("VL: SetDebug, dwDebug=0\n")));
    QVERIFY(log.contains(QStringLiteral("IOCTL_WT_UNHOOK-------------------------0--\n")));
    // The rest of the sequence still ran.
    QVERIFY(!m_device->isHooked());
    QVERIFY(!m_device->isOpen());
    // A second close has nothing left to do.
    const std::size_t before = m_device->requests().size();
    driver.close();
    QCOMPARE(m_device->requests().size(), before);
}

void TestUsbDriver::stopWithoutThreadDoesNothing()
{
    USBDriver driver(*m_device);
    QVERIFY(driver.open());
    const std::size_t before = m_device->requests().size();
    driver.stop();
    QCOMPARE(m_device->requests().size(), before);
    QVERIFY(m_device->isHooked());
    QVERIFY(m_device->hasSemaphore());
    driver.close();
}

void TestUsbDriver::stopEndsTheThreadAfterAFailedOpen()
{
    m_device->setPresent(false);
    USBDriver driver(*m_device);
    QVERIFY(!driver.open());
    LogCapture log;
    driver.start(QThread::InheritPriority);
    QTRY_VERIFY(driver.isRunning());
    stopAndWait(driver);
    QVERIFY(driver.isFinished());
    QVERIFY(log.contains(QStringLiteral("Thread exit!")));
    QVERIFY(m_device->requests().empty());
    QVERIFY(!m_device->hasSemaphore());
}

void TestUsbDriver::failedReadDoesNotEndTheLoop()
{
    USBDriver driver(*m_device);
    QVERIFY(driver.open());
    HubRecorder hub;
    LogCapture log;
    m_device->setFailingCode(platform::kIoctlWtRead);
    QVERIFY(m_device->pushRecord(0x04));
    driver.start(QThread::InheritPriority);
    QTRY_VERIFY(log.contains(QStringLiteral("USBDriver:IOCTL_WT_READ FAIL")));
    m_device->setFailingCode(0);
    // The record of the failed read is still queued; the next wake reads it.
    QVERIFY(m_device->pushRecord(0x00));
    QTRY_COMPARE(hub.types, (QList<int>{0}));
    QVERIFY(m_device->pushRecord(0x00));
    QTRY_COMPARE(hub.types, (QList<int>{0, 1}));
    stopAndWait(driver);
}

void TestUsbDriver::eventsAreForwardedWithoutAModel()
{
    // No model chosen: the controls keep their own functions, so their events
    // must still reach the routing (the driver withholds them from the system).
    m_folder->setModel(QString());
    USBDriver driver(*m_device);
    QVERIFY(driver.open());
    HubRecorder hub;
    driver.start(QThread::InheritPriority);
    for (std::uint32_t r : {0x02u, 0x00u, 0x1FFu})
        QVERIFY(m_device->pushRecord(r));
    QTRY_COMPARE(hub.types, (QList<int>{8, 9, 10}));
    stopAndWait(driver);
}

void TestUsbDriver::middleReleaseLogsTheMiddleKeysIndex()
{
    m_folder->setModelValue("QX210", "SET/Mid_key", "Copy-12-midKey");
    USBDriver driver(*m_device);
    LogCapture log;
    driver.slot_mouseClicked(3);
    QVERIFY(!log.contains(QStringLiteral("Mid_key index")));
    driver.slot_mouseClicked(4);
    QCOMPARE(log.lines().filter(QStringLiteral("Mid_key index")), QStringList{"Mid_key index 12"});
}

void TestUsbDriver::fullQueueIsReadInOrder()
{
    USBDriver driver(*m_device);
    QVERIFY(driver.open());
    // The driver queues up to the semaphore's maximum before the thread reads.
    const std::uint32_t cycle[] = {0x101, 0x201, 0x2FF, 0x1FF};
    const int cycleTypes[] = {11, 3, 2, 10};
    for (std::uint32_t i = 0; i < USBDriver::kSemaphoreMaximum; ++i)
        QVERIFY(m_device->pushRecord(cycle[i % 4]));
    QVERIFY(!m_device->pushRecord(0x101)); // the driver has no room for more
    // Without the log on the terminal.
    LogCapture quiet;
    HubRecorder hub;
    driver.start(QThread::InheritPriority);
    QTRY_COMPARE_WITH_TIMEOUT(hub.types.size(), int(USBDriver::kSemaphoreMaximum), 60000);
    for (int i = 0; i < hub.types.size(); ++i)
        QCOMPARE(hub.types.at(i), cycleTypes[i % 4]);
    QCOMPARE(m_device->pendingRecords(), std::size_t(0));
    stopAndWait(driver);
}

QTEST_MAIN(TestUsbDriver)
#include "tst_usbdriver.moc"
