// The receiver's plug notifications and presence check; results go only to the log.
#include "fake_hid.h"
#include "fake_message_window.h"
#include "logcapture.h"
#include "message_window.h"
#include "vlnativeeventfilter.h"

#include <QtTest>

using platform::fake::FakeHidInterface;
using platform::fake::FakeHidSystem;
using platform::fake::FakeMessageWindow;

namespace {

// "vid:pid ..." in hexadecimal; a trailing "o" fails the open, "a" the attributes.
QVector<FakeHidInterface> hidInterfaces(const char *text)
{
    QVector<FakeHidInterface> out;
    static int count = 0;
    for (const QString &d : QString(text).split(' ', Qt::SkipEmptyParts)) {
        FakeHidInterface i;
        i.path = "hid" + std::to_string(++count);
        i.attributes.vendorId = std::uint16_t(d.left(4).toUInt(nullptr, 16));
        i.attributes.productId = std::uint16_t(d.mid(5, 4).toUInt(nullptr, 16));
        i.openFails = d.endsWith('o');
        i.attributesFail = d.endsWith('a');
        out << i;
    }
    return out;
}

} // namespace

class TestReceiverPresence : public QObject
{
    Q_OBJECT

private slots:
    void registrationFailureIsLogged()
    {
        for (std::uint32_t error : {0u, 1066u}) {
            FakeMessageWindow window;
            window.setRegisterError(error);
            FakeHidSystem hid;
            VLNativeEventFilter filter(window, hid); // title and hiding: tst_agentstartup
            LogCapture log;
            filter.registerDeviceNotify();
            QCOMPARE(log.lines(), error ? QStringList{"注册失败 1066"} : QStringList());
        }
    }
    void plugNotifications()
    {
        const quint64 in = platform::kDbtDeviceArrival, out = platform::kDbtDeviceRemoveComplete;
        const uint iface = platform::kDbtDevtypDeviceInterface;
        // The lines logged after the "message" one; an interface's arrival or removal
        // first quotes its name.
        auto row = [&](quint64 event, const QString &name, uint type, const QStringList &ids) {
            QStringList lines;
            if (type == iface && (event == in || event == out))
                lines << (event == in ? "========in========== 5 \"" : "========out========= 5 \"") +
                             QString(name).replace("\\", "\\\\") + '"';
            lines += ids;
            FakeMessageWindow window;
            FakeHidSystem hid;
            hid.addInterface(hidInterfaces("2f6b:1813").front());
            VLNativeEventFilter filter(window, hid);
            LogCapture log;
            platform::WindowMessage m;
            m.message = platform::kWmDeviceChange;
            m.wParam = std::uintptr_t(event);
            m.hasBroadcast = true;
            m.deviceType = type;
            m.interfaceName = name.toStdString();
            window.deliver(m);
            QCOMPARE(log.lines(), QStringList{QString("message 537 wParam %1 lParam 0").arg(event)} + lines);
            QCOMPARE(hid.opens().size(), std::size_t(lines.contains("CheckDevice") ? 1 : 0));
        };
        const QString r1812 = "\\\\?\\USB#VID_2F6B&PID_1812#0001#{a5dcbf10}";
        const QStringList ids1812 = {"vendorID 12139", "productID 6162"};
        row(in, r1812, iface, ids1812 + QStringList{"USB 1812 插入"});
        row(in, "\\\\?\\usb#vid_2f6b&pid_1813#5&1#{a5dcbf10}", iface, // lower case
            {"vendorID 12139", "productID 6163", "USB 1813 插入"});
        // A removed receiver runs the presence check (which finds the other one).
        row(out, r1812, iface,
            ids1812 + QStringList{"USB 1812 拔除", "CheckDevice", "Attributes: 2f6b 1813", "true"});
        row(out, "\\\\?\\USB#VID_2F6B&PID_1814#0001", iface, {"vendorID 12139", "productID 6164"});
        row(in, "USB#VID_ZZ&PID_1812#x", iface, {"vendorID 0", "productID 6162"}); // not hexadecimal
        row(in, "\\\\?\\ROOT#X", iface, {});                                      // no ids
        row(0x8001, r1812, iface, {});                                                 // query remove
        row(in, r1812, 2, {});                                                         // a volume
    }
    void checkDevice()
    {
        // Interfaces, whether memory runs out, how many are opened, the lines after "CheckDevice".
        const struct { const char *interfaces; bool outOfMemory; int opened; const char *lines; } rows[] = {
            {"", false, 0, "false"},
            {"046d:c52b 2f6b:1813 2f6b:1812", false, 2, "Attributes: 46d c52b|Attributes: 2f6b 1813|true"},
            {"2f6b:1811 2f6c:1812", false, 2, "Attributes: 2f6b 1811|Attributes: 2f6c 1812|false"},
            // Unopenable and silent devices are skipped.
            {"2f6b:1812o 2f6b:1813a 2f6b:1812", false, 3,
             "INVALID_HANDLE_VALUE|FALSE == Result|Attributes: 2f6b 1812|true"},
            {"2f6b:1812", true, 0, "Out of memory|false"},
        };
        for (const auto &row : rows) {
            FakeMessageWindow window;
            FakeHidSystem hid;
            for (const FakeHidInterface &i : hidInterfaces(row.interfaces))
                hid.addInterface(i);
            hid.setOutOfMemory(row.outOfMemory);
            VLNativeEventFilter filter(window, hid);
            LogCapture log;
            const QStringList lines = QString::fromUtf8(row.lines).split('|');
            QCOMPARE(filter.CheckDevice(), lines.last() == "true");
            QCOMPARE(log.lines(), QStringList{"CheckDevice"} + lines);
            QCOMPARE(int(hid.opens().size()), row.opened);
            for (const auto &o : hid.opens())
                QCOMPARE(int(o.access), int(platform::HidAccess::Query));
            QCOMPARE(hid.openHandleCount(), 0);
        }
    }
};

QTEST_MAIN(TestReceiverPresence)
#include "tst_receiverpresence.moc"