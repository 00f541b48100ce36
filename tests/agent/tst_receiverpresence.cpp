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
    void checkDevice()
    {
        // Interfaces, whether memory runs out, how many are opened, the lines after "CheckDevice".
        const struct { const char *interfaces; bool outOfMemory; int opened; const char *lines; } rows[] = {
            {"", false, 0, "false"},
            {"046d:c52b 2f6b:1813 2f6b:1812", false, 2, "Attributes: 46d c52b|Attributes: 2f6b 1813|true"},
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