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

platform::WindowMessage deviceChange(std::uintptr_t event, const std::string &name,
                                     std::uint32_t deviceType = platform::kDbtDevtypDeviceInterface)
{
    platform::WindowMessage m;
    m.message = platform::kWmDeviceChange;
    m.wParam = event;
    m.hasBroadcast = true;
    m.deviceType = deviceType;
    if (deviceType == platform::kDbtDevtypDeviceInterface)
        m.interfaceName = name;
    return m;
}

FakeHidInterface hidInterface(const std::string &path, std::uint16_t vid, std::uint16_t pid)
{
    FakeHidInterface i;
    i.path = path;
    i.attributes.vendorId = vid;
    i.attributes.productId = pid;
    return i;
}

} // namespace

class TestReceiverPresence : public QObject
{
    Q_OBJECT

private slots:
    void windowCarriesTheAgentsTitle();
    void registrationFailureIsLogged();
    void parseIds_data();
    void parseIds();
    void plugNotifications_data();
    void plugNotifications();
    void everyMessageIsLogged();
    void checkDevice_data();
    void checkDevice();
    void outOfMemoryAnswersFalse();
};

void TestReceiverPresence::windowCarriesTheAgentsTitle()
{
    FakeMessageWindow window;
    FakeHidSystem hid;
    VLNativeEventFilter filter(window, hid);
    QCOMPARE(window.title(), std::string("VelkoOptions"));
    QVERIFY(!filter.isVisible());
    LogCapture log;
    filter.registerDeviceNotify();
    QVERIFY(window.isRegistered());
    QVERIFY(!log.contains(QStringLiteral("注册失败")));
}

void TestReceiverPresence::registrationFailureIsLogged()
{
    FakeMessageWindow window;
    window.setRegisterError(1066);
    FakeHidSystem hid;
    VLNativeEventFilter filter(window, hid);
    LogCapture log;
    filter.registerDeviceNotify();
    QCOMPARE(log.lines(), QStringList{"注册失败 1066"});
}

void TestReceiverPresence::parseIds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::addColumn<uint>("vendor");
    QTest::addColumn<uint>("product");
    QTest::newRow("upper case") << "\\\\?\\USB#VID_2F6B&PID_1812#0001#{a5dcbf10-6530}" << true
                                << 0x2F6Bu << 0x1812u;
    QTest::newRow("lower case") << "\\\\?\\usb#vid_2f6b&pid_1813#5&2b&0&2#{a5dcbf10}" << true
                                << 0x2F6Bu << 0x1813u;
    QTest::newRow("interface suffix")
        << "\\\\?\\HID#VID_046D&PID_C52B&MI_01#7&1" << true << 0x046Du << 0xC52Bu;
    QTest::newRow("not hexadecimal") << "USB#VID_ZZ&PID_1812#x" << true << 0u << 0x1812u;
    QTest::newRow("no identifiers") << "\\\\?\\ROOT#SYSTEM#0000" << false << 0u << 0u;
    QTest::newRow("empty") << "" << false << 0u << 0u;
}

void TestReceiverPresence::parseIds()
{
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QFETCH(uint, vendor);
    QFETCH(uint, product);
    unsigned v = 77, p = 77;
    QCOMPARE(VLNativeEventFilter::parseIds(name, v, p), matches);
    if (matches) {
        QCOMPARE(v, vendor);
        QCOMPARE(p, product);
    }
}

void TestReceiverPresence::plugNotifications_data()
{
    QTest::addColumn<quint64>("event");
    QTest::addColumn<QString>("name");
    QTest::addColumn<uint>("deviceType");
    QTest::addColumn<QStringList>("lines");  // after the "message" line, in order
    QTest::addColumn<bool>("checksDevices"); // the presence check runs again

    const QString in = QStringLiteral("========in==========");
    const QString out = QStringLiteral("========out=========");
    const QString r1812 = QStringLiteral("\\\\?\\USB#VID_2F6B&PID_1812#0001#{a5dcbf10}");
    const QString r1813lower = QStringLiteral("\\\\?\\usb#vid_2f6b&pid_1813#5&1#{a5dcbf10}");
    const QString other = QStringLiteral("\\\\?\\USB#VID_2F6B&PID_1814#0001");
    const QString mouse = QStringLiteral("\\\\?\\USB#VID_046D&PID_C52B#0001");
    auto quoted = [](const QString &s) { return QString(QLatin1Char('"') + s + QLatin1Char('"')); };
    auto head = [&](const QString &marker, const QString &name) {
        return marker + QStringLiteral(" 5 ") + quoted(QString(name).replace("\\", "\\\\"));
    };
    const quint64 arrival = platform::kDbtDeviceArrival;
    const quint64 removal = platform::kDbtDeviceRemoveComplete;

    QTest::newRow("1812 arrives") << arrival << r1812 << 5u
                                  << QStringList{head(in, r1812), "vendorID 12139",
                                                 "productID 6162", "USB 1812 插入"}
                                  << false;
    QTest::newRow("1813 arrives, lower case")
        << arrival << r1813lower << 5u
        << QStringList{head(in, r1813lower), "vendorID 12139", "productID 6163", "USB 1813 插入"}
        << false;
    QTest::newRow("1812 removed") << removal << r1812 << 5u
                                  << QStringList{head(out, r1812), "vendorID 12139",
                                                 "productID 6162", "USB 1812 拔除"}
                                  << true;
    QTest::newRow("1813 removed, lower case")
        << removal << r1813lower << 5u
        << QStringList{head(out, r1813lower), "vendorID 12139", "productID 6163", "USB 1813 拔除"}
        << true;
    QTest::newRow("same vendor, other product arrives")
        << arrival << other << 5u
        << QStringList{head(in, other), "vendorID 12139", "productID 6164"} << false;
    QTest::newRow("same vendor, other product removed")
        << removal << other << 5u
        << QStringList{head(out, other), "vendorID 12139", "productID 6164"} << false;
    QTest::newRow("other vendor removed")
        << removal << mouse << 5u
        << QStringList{head(out, mouse), "vendorID 1133", "productID 50475"} << false;
    QTest::newRow("name without identifiers")
        << arrival << "\\\\?\\ROOT#X" << 5u << QStringList{head(in, "\\\\?\\ROOT#X")} << false;
    QTest::newRow("query remove") << quint64(0x8001) << r1812 << 5u << QStringList() << false;
    QTest::newRow("nodes changed") << quint64(0x0007) << r1812 << 5u << QStringList() << false;
    QTest::newRow("volume arrives") << arrival << r1812 << 2u << QStringList() << false;
}

void TestReceiverPresence::plugNotifications()
{
    QFETCH(quint64, event);
    QFETCH(QString, name);
    QFETCH(uint, deviceType);
    QFETCH(QStringList, lines);
    QFETCH(bool, checksDevices);
    FakeMessageWindow window;
    FakeHidSystem hid;
    hid.addInterface(hidInterface("hid-receiver", 0x2F6B, 0x1813));
    VLNativeEventFilter filter(window, hid);
    LogCapture log;
    window.deliver(deviceChange(std::uintptr_t(event), name.toStdString(), deviceType));

    QStringList logged = log.lines();
    QVERIFY(!logged.isEmpty());
    QVERIFY(logged.takeFirst().startsWith(QStringLiteral("message 537 wParam")));
    if (checksDevices) {
        QCOMPARE(logged.mid(0, lines.size()), lines);
        QCOMPARE(logged.mid(lines.size()),
                 (QStringList{"CheckDevice", "Attributes: 2f6b 1813", "true"}));
        QCOMPARE(hid.opens().size(), std::size_t(1));
    } else {
        QCOMPARE(logged, lines);
        QVERIFY(hid.opens().empty());
    }
}

void TestReceiverPresence::everyMessageIsLogged()
{
    FakeMessageWindow window;
    FakeHidSystem hid;
    VLNativeEventFilter filter(window, hid);
    LogCapture log;
    platform::WindowMessage m;
    m.message = 0x001A;
    m.wParam = 0x2F;
    m.lParam = -5;
    window.deliver(m);
    QCOMPARE(log.lines(), QStringList{"message 26 wParam 47 lParam -5"});
}

void TestReceiverPresence::checkDevice_data()
{
    QTest::addColumn<QVector<FakeHidInterface>>("interfaces");
    QTest::addColumn<bool>("present");
    QTest::addColumn<int>("opened");
    QTest::addColumn<QStringList>("lines");

    using I = QVector<FakeHidInterface>;
    FakeHidInterface unopenable = hidInterface("locked", 0x2F6B, 0x1812);
    unopenable.openFails = true;
    FakeHidInterface mute = hidInterface("mute", 0x2F6B, 0x1812);
    mute.attributesFail = true;

    QTest::newRow("no device") << I{} << false << 0 << QStringList{"CheckDevice", "false"};
    QTest::newRow("receiver 1812") << I{hidInterface("a", 0x2F6B, 0x1812)} << true << 1
                                   << QStringList{"CheckDevice", "Attributes: 2f6b 1812", "true"};
    QTest::newRow("stops at the receiver")
        << I{hidInterface("k", 0x046D, 0xC52B), hidInterface("r", 0x2F6B, 0x1813),
             hidInterface("x", 0x2F6B, 0x1812)}
        << true << 2
        << QStringList{"CheckDevice", "Attributes: 46d c52b", "Attributes: 2f6b 1813", "true"};
    QTest::newRow("same vendor, other product")
        << I{hidInterface("o", 0x2F6B, 0x1811)} << false << 1
        << QStringList{"CheckDevice", "Attributes: 2f6b 1811", "false"};
    QTest::newRow("other vendor, receiver's product")
        << I{hidInterface("o", 0x2F6C, 0x1812)} << false << 1
        << QStringList{"CheckDevice", "Attributes: 2f6c 1812", "false"};
    QTest::newRow("unopenable and silent devices are skipped")
        << I{unopenable, mute, hidInterface("r", 0x2F6B, 0x1812)} << true << 3
        << QStringList{"CheckDevice", "INVALID_HANDLE_VALUE", "FALSE == Result",
                       "Attributes: 2f6b 1812", "true"};
}

void TestReceiverPresence::checkDevice()
{
    QFETCH(QVector<FakeHidInterface>, interfaces);
    QFETCH(bool, present);
    QFETCH(int, opened);
    QFETCH(QStringList, lines);
    FakeMessageWindow window;
    FakeHidSystem hid;
    for (const FakeHidInterface &i : interfaces)
        hid.addInterface(i);
    VLNativeEventFilter filter(window, hid);
    LogCapture log;
    QCOMPARE(filter.CheckDevice(), present);
    QCOMPARE(log.lines(), lines);
    QCOMPARE(int(hid.opens().size()), opened);
    for (const auto &o : hid.opens())
        QCOMPARE(int(o.access), int(platform::HidAccess::Query));
    QCOMPARE(hid.openHandleCount(), 0);
}

void TestReceiverPresence::outOfMemoryAnswersFalse()
{
    FakeMessageWindow window;
    FakeHidSystem hid;
    hid.addInterface(hidInterface("r", 0x2F6B, 0x1812));
    hid.setOutOfMemory(true);
    VLNativeEventFilter filter(window, hid);
    LogCapture log;
    QVERIFY(!filter.CheckDevice());
    QCOMPARE(log.lines(), (QStringList{"CheckDevice", "Out of memory", "false"}));
    QVERIFY(hid.opens().empty());
}

QTEST_MAIN(TestReceiverPresence)
#include "tst_receiverpresence.moc"
