// The filter-driver client against the simulated driver.
#include "appenv.h"
#include "fake_agent_platform.h"
#include "logcapture.h"
#include "singletonglobalmousehook.h"
#include "usbdriver.h"

#include <QtTest>

using platform::fake::FakeFilterDevice;

namespace {

// Collects the button-event codes the hub emits (every message code must be -1).
struct HubRecorder : QObject {
    HubRecorder()
    {
        connect(SingletonGlobalMouseHook::instance(), &SingletonGlobalMouseHook::sig_mouseHookParam,
                this, [this](int type, int code) { types << (code == -1 ? type : 1000 + code); });
    }
    QList<int> types;
};

// "a b c" (hexadecimal) as numbers.
template <class T> QVector<T> nums(const char *text, int base = 10)
{
    QVector<T> out;
    for (const QString &n : QString(text).split(' ', Qt::SkipEmptyParts))
        out << T(n.toULongLong(nullptr, base));
    return out;
}

} // namespace

class TestUsbDriver : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        QVERIFY(m_folder->isValid());
        m_folder->setModel("QX210");
        m_device = std::make_unique<FakeFilterDevice>();
    }
    void cleanup() { m_device.reset(), m_folder.reset(); }
    void decodeRecords()
    {
        // Hexadecimal records > keys. Bits 1..4: right, middle, side down, side up.
        for (const char *row : {"02 00 04 00 08 00 10 00 > 1 2 3 4 5 6 7 8",
                                "1E 00 > 1 3 5 7 2 4 6 8", // several at once: lower bits first
                                "02 04 > 1 2 3", "04 04 04 > 3", // repeats are no change
                                "01 05 04 E0 E4 > 3 4 3",        // left button, bits 5 to 7 ignored
                                "04 101 1FF 201 2FF 04 00 > 3 9 10 11 12 4",
                                "04 100 102 200 300 1FE FFFFFFFF 10004 00 > 3 4"}) { // bitmap kept
            const QStringList parts = QString(row).split(" > ");
            std::uint32_t previous = 0;
            QVector<int> seen;
            for (quint32 r : nums<quint32>(qPrintable(parts[0]), 16))
                seen += USBDriver::decodeRecord(r, previous);
            QCOMPARE(seen, nums<int>(qPrintable(parts[1])));
        }
    }
    void keysAreForwardedAsButtonEvents()
    {
        m_folder->setModelValue("QX210", "SET/Mid_key", "Copy-12-midKey");
        USBDriver driver(*m_device);
        HubRecorder hub;
        for (int key : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 13, -1})
            driver.slot_mouseClicked(key);
        QCOMPARE(hub.types, (QList<int>{8, 9, 0, 1, 6, 7, 4, 5, 11, 10, 3, 2, -1, -1, -1}));
    }
    void absentDriverAndStopAfterAFailedOpen()
    {
        m_device->setPresent(false);
        USBDriver driver(*m_device);
        LogCapture log;
        QVERIFY(!driver.open());
        QCOMPARE(m_device->debugLines(),
                 std::vector<std::string>{"Vl Wireless Drv: Open driver failed."});
        QVERIFY(!driver.setMouseFilter(0x1FE));
        // The thread still runs, and stop() ends it.
        driver.start(QThread::InheritPriority);
        QTRY_VERIFY(driver.isRunning());
        stopAndWait(driver);
        QVERIFY(log.contains(QStringLiteral("Thread exit!")));
        QVERIFY(m_device->requests().empty());
        QVERIFY(!m_device->hasSemaphore());
    }
    void filterAndCloseRequests()
    {
        USBDriver driver(*m_device);
        LogCapture log;
        QVERIFY(driver.open());
        // Without a running thread stop() leaves the driver armed.
        const std::size_t armed = m_device->requests().size();
        driver.stop();
        QCOMPARE(m_device->requests().size(), armed);
        m_device->setFailingCode(platform::kIoctlSetMsFilter);
        QVERIFY(!driver.setMouseFilter(0));
        QCOMPARE(m_device->mouseFilter(), 0x1FEu);
        // A failing step of close() is logged and the rest still runs.
        m_device->setFailingCode(platform::kIoctlSetKbFilter);
        driver.close();
        QVERIFY(log.contains("ERROR: IOCTL_SET_KBFILTER failed, error=31\n"));
        QVERIFY(!m_device->isHooked());
        QVERIFY(!m_device->isOpen());
        const std::size_t closed = m_device->requests().size();
        driver.close(); // nothing left to do
        QCOMPARE(m_device->requests().size(), closed);
    }
    void readLoopSurvivesAFailedRead()
    {
        // With no model the controls keep their own functions, which the driver
        // withholds from the system: their events must still reach the routing.
        m_folder->setModel(QString());
        USBDriver driver(*m_device);
        QVERIFY(driver.open());
        HubRecorder hub;
        LogCapture log;
        m_device->setFailingCode(platform::kIoctlWtRead);
        QVERIFY(m_device->pushRecord(0x02));
        driver.start(QThread::InheritPriority);
        QTRY_VERIFY(log.contains(QStringLiteral("USBDriver:IOCTL_WT_READ FAIL")));
        m_device->setFailingCode(0);
        // The record of the failed read is still queued; the next wake reads it.
        for (std::uint32_t r : {0x00u, 0x1FFu, 0x00u})
            QVERIFY(m_device->pushRecord(r));
        QTRY_COMPARE(hub.types, (QList<int>{8, 9, 10}));
        stopAndWait(driver);
    }
    void fullQueueIsReadInOrder()
    {
        USBDriver driver(*m_device);
        QVERIFY(driver.open());
        // The driver queues up to the semaphore's maximum, 8000, before the thread reads.
        const std::uint32_t cycle[] = {0x101, 0x201, 0x2FF, 0x1FF};
        const int cycleTypes[] = {11, 3, 2, 10};
        for (int i = 0; i < 8000; ++i)
            QVERIFY(m_device->pushRecord(cycle[i % 4]));
        QVERIFY(!m_device->pushRecord(0x101));
        LogCapture quiet;
        HubRecorder hub;
        driver.start(QThread::InheritPriority);
        QTRY_COMPARE_WITH_TIMEOUT(hub.types.size(), 8000, 60000);
        for (int i = 0; i < hub.types.size(); ++i)
            QCOMPARE(hub.types.at(i), cycleTypes[i % 4]);
        QCOMPARE(m_device->pendingRecords(), std::size_t(0));
        stopAndWait(driver);
    }

private:
    void stopAndWait(USBDriver &driver)
    {
        driver.stop();
        QVERIFY(driver.wait(3000));
    }

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<FakeFilterDevice> m_device;
};

QTEST_MAIN(TestUsbDriver)
#include "tst_usbdriver.moc"