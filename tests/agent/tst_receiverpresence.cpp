// The receiver's plug notifications and the presence check, against the fake
// message window and HID system. Their results go only to the log.
#include "fake_hid.h"
#include "fake_message_window.h"
#include "logcapture.h"
#include "message_window.h"
#include "vlnativeeventfilter.h"

#include <QtTest>

using platform::fake::FakeHidInterface;
using platform::fake::FakeHidSystem;
using platform::fake::FakeMessageWindow;

Q_DECLARE_METATYPE(FakeHidInterface)

namespace {

FakeHidInterface hidInterface(std::uint16_t vid, std::uint16_t pid, bool openFails = false,
                              bool attributesFail = false)
{
    FakeHidInterface i;
    static int count = 0;
    i.path = "hid" + std::to_string(++count);
    i.attributes.vendorId = vid;
    i.attributes.productId = pid;
    i.openFails = openFails;
    i.attributesFail = attributesFail;
    return i;
}

} // namespace

class TestReceiverPresence : public QObject
{
    Q_OBJECT

private slots:
    void windowTitleAndRegistration();
    void plugNotifications_data();
    void plugNotifications();
    void checkDevice_data();
    void checkDevice();
};

void TestReceiverPresence::windowTitleAndRegistration()
{
    for (std::uint32_t error : {0u, 1066u}) {
        FakeMessageWindow window;
        window.setRegisterError(error);
        FakeHidSystem hid;
        VLNativeEventFilter filter(window, hid);
        // The configurator finds and closes the agent by this title.
        QCOMPARE(window.title(), std::string("VelkoOptions"));
        QVERIFY(!filter.isVisible());
        LogCapture log;
        filter.registerDeviceNotify();
        QCOMPARE(log.lines(), error ? QStringList{"注册失败 1066"} : QStringList());
    }
}

void TestReceiverPresence::plugNotifications_data()
{
    QTest::addColumn<quint64>("event");
    QTest::addColumn<QString>("name");
    QTest::addColumn<uint>("deviceType");
    QTest::addColumn<QStringList>("lines"); // after the "message" line
    const quint64 in = platform::kDbtDeviceArrival, out = platform::kDbtDeviceRemoveComplete;
    const uint iface = platform::kDbtDevtypDeviceInterface;
    auto row = [&](const char *tag, quint64 event, const QString &name, uint type,
                   const QStringList &ids) {
        QStringList lines;
        if (type == iface && (event == in || event == out))
            lines << (event == in ? "========in========== 5 \"" : "========out========= 5 \"") +
                         QString(name).replace("\\", "\\\\") + '"';
        QTest::newRow(tag) << event << name << type << lines + ids;
    };
    const QString r1812 = "\\\\?\\USB#VID_2F6B&PID_1812#0001#{a5dcbf10}";
    const QString r1813 = "\\\\?\\usb#vid_2f6b&pid_1813#5&1#{a5dcbf10}";
    const QStringList ids1812 = {"vendorID 12139", "productID 6162"};
    const QStringList ids1813 = {"vendorID 12139", "productID 6163"};
    // A removed receiver runs the presence check (which finds the other one).
    const QStringList check = {"CheckDevice", "Attributes: 2f6b 1813", "true"};
    row("1812 arrives", in, r1812, iface, ids1812 + QStringList{"USB 1812 插入"});
    row("1813 arrives, lower case", in, r1813, iface, ids1813 + QStringList{"USB 1813 插入"});
    row("1812 removed", out, r1812, iface, ids1812 + QStringList{"USB 1812 拔除"} + check);
    row("other product", out, "\\\\?\\USB#VID_2F6B&PID_1814#0001", iface,
        {"vendorID 12139", "productID 6164"});
    row("ids not hexadecimal", in, "USB#VID_ZZ&PID_1812#x", iface,
        {"vendorID 0", "productID 6162"});
    row("no ids", in, "\\\\?\\ROOT#X", iface, {});
    row("query remove", 0x8001, r1812, iface, {});
    row("volume arrives", in, r1812, 2, {});
}

void TestReceiverPresence::plugNotifications()
{
    QFETCH(quint64, event);
    QFETCH(QString, name);
    QFETCH(uint, deviceType);
    QFETCH(QStringList, lines);
    FakeMessageWindow window;
    FakeHidSystem hid;
    hid.addInterface(hidInterface(0x2F6B, 0x1813));
    VLNativeEventFilter filter(window, hid);
    LogCapture log;
    platform::WindowMessage m;
    m.message = platform::kWmDeviceChange;
    m.wParam = std::uintptr_t(event);
    m.hasBroadcast = true;
    m.deviceType = deviceType;
    m.interfaceName = name.toStdString();
    window.deliver(m);

    QStringList logged = log.lines();
    QVERIFY(!logged.isEmpty());
    QCOMPARE(logged.takeFirst(), QStringLiteral("message 537 wParam %1 lParam 0").arg(event));
    QCOMPARE(logged, lines);
    QCOMPARE(hid.opens().size(), std::size_t(lines.contains("CheckDevice") ? 1 : 0));
}

void TestReceiverPresence::checkDevice_data()
{
    QTest::addColumn<QVector<FakeHidInterface>>("interfaces");
    QTest::addColumn<bool>("outOfMemory");
    QTest::addColumn<bool>("present");
    QTest::addColumn<int>("opened");
    QTest::addColumn<QStringList>("lines"); // after "CheckDevice"
    using I = QVector<FakeHidInterface>;
    QTest::newRow("no device") << I{} << false << false << 0 << QStringList{"false"};
    QTest::newRow("stops at the receiver")
        << I{hidInterface(0x046D, 0xC52B), hidInterface(0x2F6B, 0x1813),
             hidInterface(0x2F6B, 0x1812)}
        << false << true << 2
        << QStringList{"Attributes: 46d c52b", "Attributes: 2f6b 1813", "true"};
    QTest::newRow("other product, other vendor")
        << I{hidInterface(0x2F6B, 0x1811), hidInterface(0x2F6C, 0x1812)} << false << false << 2
        << QStringList{"Attributes: 2f6b 1811", "Attributes: 2f6c 1812", "false"};
    QTest::newRow("unopenable and silent devices are skipped")
        << I{hidInterface(0x2F6B, 0x1812, true), hidInterface(0x2F6B, 0x1813, false, true),
             hidInterface(0x2F6B, 0x1812)}
        << false << true << 3
        << QStringList{"INVALID_HANDLE_VALUE", "FALSE == Result", "Attributes: 2f6b 1812", "true"};
    QTest::newRow("out of memory") << I{hidInterface(0x2F6B, 0x1812)} << true << false << 0
                                   << QStringList{"Out of memory", "false"};
}

void TestReceiverPresence::checkDevice()
{
    QFETCH(QVector<FakeHidInterface>, interfaces);
    QFETCH(bool, outOfMemory);
    QFETCH(bool, present);
    QFETCH(int, opened);
    QFETCH(QStringList, lines);
    FakeMessageWindow window;
    FakeHidSystem hid;
    for (const FakeHidInterface &i : interfaces)
        hid.addInterface(i);
    hid.setOutOfMemory(outOfMemory);
    VLNativeEventFilter filter(window, hid);
    LogCapture log;
    QCOMPARE(filter.CheckDevice(), present);
    QCOMPARE(log.lines(), QStringList{"CheckDevice"} + lines);
    QCOMPARE(int(hid.opens().size()), opened);
    for (const auto &o : hid.opens())
        QCOMPARE(int(o.access), int(platform::HidAccess::Query));
    QCOMPARE(hid.openHandleCount(), 0);
}

QTEST_MAIN(TestReceiverPresence)
#include "tst_receiverpresence.moc"