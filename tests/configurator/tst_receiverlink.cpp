// The HID link to the receiver: which interface is taken, and each command's
// polling and result rules against the simulated receiver.
#include "fakeservices.h"
#include "receiverlink.h"

#include <QtTest>

using fake::FakeHidInterface;

// One command against a receiver in `mode` that behaves as `receiver` says; the
// result (for the pair state: the state, -1 when none), the waits and commands sent.
struct Command
{
    const char *command;
    int mode;
    const char *receiver;
    int result;
    const char *sleeps;
    const char *sent;
};
Q_DECLARE_METATYPE(Command)

// A command interface as a receiver has it: usage 1 on page 0xFF00, 32-byte reports.
static FakeHidInterface commandInterface(quint16 vendor, quint16 product)
{
    FakeHidInterface i;
    i.path = fake::hidInterfacePath(vendor, product, 2);
    i.attributes = {vendor, product, 0x100};
    i.caps = {0x0001, 0xFF00, 32, 32, 0, 1, 1};
    i.outputValueCaps = {{0xFF00, 0x0001, 0xBA, 31}};
    return i;
}

class TestReceiverLink : public QObject
{
    Q_OBJECT

    FakeServices services;

    std::unique_ptr<ReceiverLink> newLink()
    {
        return std::make_unique<ReceiverLink>(services.hid, *services.time);
    }
    // A link whose current record is an attached receiver.
    std::unique_ptr<ReceiverLink> openedLink(fake::FakeReceiver &receiver)
    {
        fake::addReceiverDevice(*services.hid, &receiver, 0x1812);
        auto link = newLink();
        if (!link->openReceiver(0x2F6B, 0x1812) || !link->useReceiver(0x1812))
            return nullptr;
        return link;
    }

private slots:
    void init() { services = FakeServices(); }

    void presence_data()
    {
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("present");
        QTest::newRow("first receiver") << 0x2F6B << 0x1812 << true;
        QTest::newRow("second receiver") << 0x2F6B << 0x1813 << true;
        QTest::newRow("0x1814 is no receiver") << 0x2F6B << 0x1814 << false;
        QTest::newRow("product before") << 0x2F6B << 0x1811 << false;
        QTest::newRow("other vendor") << 0x2F6C << 0x1812 << false;
    }
    void presence()
    {
        QFETCH(int, vendor);
        QFETCH(int, product);
        QFETCH(bool, present);
        // Another maker's keyboard and two unreadable receiver interfaces come first.
        services.hid->addInterface(commandInterface(0x046D, 0xC31C));
        FakeHidInterface broken = commandInterface(0x2F6B, 0x1812), closed = broken;
        broken.path += "-broken";
        broken.attributesFail = true;
        closed.path += "-closed";
        closed.openFails = true;
        services.hid->addInterface(broken);
        services.hid->addInterface(closed);
        services.hid->addInterface(commandInterface(quint16(vendor), quint16(product)));
        QCOMPARE(newLink()->GetPidVid(), present);
        for (const auto &open : services.hid->opens())
            QCOMPARE(int(open.access), int(platform::HidAccess::Query));
        QCOMPARE(services.hid->openHandleCount(), 0);

        services.hid->setOutOfMemory(true);
        LogCapture log;
        QVERIFY(!newLink()->GetPidVid());
        QVERIFY(log.contains("Out of memory"));
    }

    void interfaceSelection_data()
    {
        QTest::addColumn<int>("usagePage");
        QTest::addColumn<int>("usage");
        QTest::addColumn<QString>("defect");
        QTest::addColumn<bool>("selected");
        QTest::newRow("vendor page, other usage") << 0xFF00 << 0x01 << "" << true;
        QTest::newRow("usage 0x0E, other page") << 0x000C << 0x0E << "" << true;
        QTest::newRow("mouse collection") << 0x0001 << 0x02 << "" << false;
        for (const char *defect : {"no input report", "no input value caps", "no output value caps",
                                   "no preparsed data", "value caps unreadable"})
            QTest::newRow(defect) << 0xFF00 << 0x0E << defect << false;
    }
    void interfaceSelection()
    {
        QFETCH(int, usagePage);
        QFETCH(int, usage);
        QFETCH(QString, defect);
        QFETCH(bool, selected);
        FakeHidInterface i = commandInterface(0x2F6B, 0x1812);
        i.caps.usagePage = quint16(usagePage);
        i.caps.usage = quint16(usage);
        i.caps.inputReportByteLength = defect == "no input report" ? 0 : 32;
        i.caps.numberInputValueCaps = defect == "no input value caps" ? 0 : 1;
        i.caps.numberOutputValueCaps = defect == "no output value caps" ? 0 : 1;
        if (defect == "no preparsed data")
            i.capsResult = platform::HidCapsResult::NoPreparsedData;
        i.valueCapsFail = defect == "value caps unreadable";
        services.hid->addInterface(i);
        auto link = newLink();
        QCOMPARE(link->openReceiver(0x2F6B, 0x1812), selected);
        QCOMPARE(link->useReceiver(0x1812), selected);
        // Query handles of skipped and chosen interfaces alike are closed again.
        QCOMPARE(services.hid->openHandleCount(), selected ? 1 : 0);
    }

    void atMostTenOutputValueCapsAreRead()
    {
        FakeHidInterface i = commandInterface(0x2F6B, 0x1812);
        i.caps.numberOutputValueCaps = 12;
        i.outputValueCaps.clear();
        for (int n = 0; n < 12; ++n)
            i.outputValueCaps.push_back({0xFF00, quint16(n), quint8(0xB0 + n), quint16(n)});
        services.hid->addInterface(i);
        LogCapture log;
        QVERIFY(newLink()->openReceiver(0x2F6B, 0x1812));
        QCOMPARE(log.count("out  report id:"), 10);
        QVERIFY(log.contains("out  report id:b9 count:9"));
    }

    void reopeningReleasesTheReplacedInterface()
    {
        auto receiver = services.makeReceiver();
        auto link = openedLink(*receiver);
        // The replaced record's interface stays open while it is current, and no longer.
        QVERIFY(link && link->openReceiver(0x2F6B, 0x1812));
        QCOMPARE(services.hid->openHandleCount(), 2);
        QVERIFY(link->useReceiver(0x1812));
        QCOMPARE(services.hid->openHandleCount(), 1);
        link.reset();
        QCOMPARE(services.hid->openHandleCount(), 0);
    }

    void failedReportsLeaveTheBytes()
    {
        LogCapture log;
        quint8 bytes[3] = {0xA7, 0, 0x55};
        auto receiver = services.makeReceiver();
        auto link = openedLink(*receiver);
        QVERIFY(link && link->sendCommand(bytes, 1));
        receiver->setFailingReads(1);
        QVERIFY(!link->readReply(bytes, 2));
        QVERIFY(log.contains("HidD_GetInputReport Failed, Error Code 31"));
        QCOMPARE(bytes[0], quint8(0xA7));
        QVERIFY(link->readReply(bytes, 2));
        // Acknowledgement from report byte 0; beyond the length untouched.
        QCOMPARE(QByteArray(reinterpret_cast<char *>(bytes), 3), QByteArray("\x01\xA0\x55"));
        receiver->setFailingWrites(1);
        QVERIFY(!link->sendCommand(bytes, 1));
        // The error, then report id and count of the last output value capability.
        QVERIFY(log.contains("HidD_SetFeature fail:  31 186 31"));
    }

    void commands_data()
    {
        QTest::addColumn<Command>("c");
        const auto row = [](const char *name, Command c) { QTest::newRow(name) << c; };
        row("mode", {"mode", 0xA0, "ack", 0xA0, "20", "a7"});
        row("mode: id in byte 0", {"mode", 0xA1, "echo", 0xA1, "20 20 20", "a7"});
        row("mode: reads fail", {"mode", 0xA0, "fail", 0, "20 20 20", "a7"});
        row("enter", {"enter", 0xA0, "ack", 1, "20 10 50", "a7 a08101"});
        row("enter: refused", {"enter", 0xA0, "refuse", 0, "20 10 50 50 50 50 50", "a7 a08101"});
        row("enter: already pairing", {"enter", 0xA1, "ack", 1, "20", "a7"});
        row("enter: other mode", {"enter", 0x42, "ack", 0, "20", "a7"});
        row("enter: reads fail", {"enter", 0xA0, "fail", 0, "20 20 20", "a7"});
        row("state: paired", {"state", 0xA1, "ack", 1, "20", "a101"});
        row("state: not yet", {"state", 0xA1, "unpaired", 0, "20", "a101"});
        row("state: both bits", {"state", 0xA1, "both", 3, "20", "a101"});
        row("state: id in byte 0", {"state", 0xA1, "echo", 1, "20 20 20 20 20", "a101"});
        row("state: reads fail", {"state", 0xA1, "fail", -1, "20 20 20 20 20", "a101"});
        row("state: no reply", {"state", 0xA1, "silent", -1, "20 20 20 20 20", "a101"});
        row("confirm", {"confirm", 0xA1, "ack", 1, "20 20", "a184"});
        row("confirm: reads fail", {"confirm", 0xA1, "fail", 0, "20 20 20 20 20 20", "a184"});
    }
    void commands()
    {
        QFETCH(Command, c);
        const QString command = c.command, receiver = c.receiver;
        auto fake = services.makeReceiver();
        auto link = openedLink(*fake);
        QVERIFY(link);
        fake->setMode(quint8(c.mode));
        fake->setAcknowledges(receiver != "echo");
        fake->setAcceptsPairing(receiver != "refuse");
        fake->setPairDelay(receiver == "unpaired" ? std::nullopt : std::optional<qint64>(0));
        fake->setSecondStateBit(receiver == "both");
        fake->setFailingReads(receiver == "fail" ? -1 : 0);
        fake->setMissingReplies(receiver == "silent" ? 100 : 0);

        int state = -1;
        QCOMPARE(command == "mode"    ? link->queryMode()
                 : command == "enter" ? link->enterPairing()
                 : command == "state" ? (link->readPairState(state) ? state : -1)
                                      : link->confirmPairing(),
                 c.result);
        QStringList seen;
        for (int ms : services.time->sleeps())
            seen << QString::number(ms);
        QCOMPARE(seen.join(' '), QString(c.sleeps));
        seen.clear();
        for (const auto &bytes : fake->commands())
            seen << QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()))
                        .toHex();
        QCOMPARE(seen.join(' '), QString(c.sent));
    }
};

QTEST_GUILESS_MAIN(TestReceiverLink)
#include "tst_receiverlink.moc"
