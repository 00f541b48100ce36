// The HID link to the receiver: which interface is taken, and each command's
// polling and result rules against the simulated receiver.
#include "fakeservices.h"
#include "receiverlink.h"

#include <QtTest>

using platform::HidCapsResult;
using platform::fake::FakeHidInterface;
using platform::fake::FakeReceiver;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(HidCapsResult)

namespace {

// A command interface of a receiver, as the receiver has it.
FakeHidInterface commandInterface(quint16 vendor, quint16 product)
{
    FakeHidInterface i;
    i.path = platform::fake::hidInterfacePath(vendor, product, 2);
    i.attributes = {vendor, product, 0x100};
    i.caps.usagePage = 0xFF00;
    i.caps.usage = 0x0001;
    i.caps.inputReportByteLength = 32;
    i.caps.outputReportByteLength = 32;
    i.caps.numberInputValueCaps = 1;
    i.caps.numberOutputValueCaps = 1;
    i.outputValueCaps = {{0xFF00, 0x0001, 0xBA, 31}};
    return i;
}

// The path opened for reading and writing after the first `skip` opens.
std::string lastReadWritePath(const platform::fake::FakeHidSystem &hid, std::size_t skip = 0)
{
    std::string path;
    const auto opens = hid.opens();
    for (std::size_t i = skip; i < opens.size(); ++i)
        if (opens[i].access == platform::HidAccess::ReadWrite)
            path = opens[i].path;
    return path;
}

} // namespace

class TestReceiverLink : public QObject
{
    Q_OBJECT

private:
    FakeServices services;
    VirtualWait wait{services.time};

    std::unique_ptr<ReceiverLink> newLink()
    {
        return std::make_unique<ReceiverLink>(services.hid, wait);
    }

    // A link whose current record is an attached receiver.
    std::unique_ptr<ReceiverLink> openedLink(FakeReceiver &receiver)
    {
        platform::fake::addReceiverDevice(*services.hid, &receiver, 0x1812);
        auto link = newLink();
        if (!link->openReceiver(0x2F6B, 0x1812) || !link->useReceiver(0x1812))
            return nullptr;
        services.time->clearSleeps();
        return link;
    }

private slots:
    void init()
    {
        services.hid->clear();
        services.hid->setOutOfMemory(false);
        services.time->clearSleeps();
    }

    void presence_data()
    {
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("present");
        QTest::newRow("first receiver") << 0x2F6B << 0x1812 << true;
        QTest::newRow("second receiver") << 0x2F6B << 0x1813 << true;
        QTest::newRow("next product is no receiver") << 0x2F6B << 0x1814 << false;
        QTest::newRow("product before") << 0x2F6B << 0x1811 << false;
        QTest::newRow("other vendor") << 0x2F6C << 0x1812 << false;
    }
    void presence()
    {
        QFETCH(int, vendor);
        QFETCH(int, product);
        QFETCH(bool, present);
        // A keyboard of another maker is listed first, the device in question after it.
        FakeHidInterface other = commandInterface(0x046D, 0xC31C);
        services.hid->addInterface(other);
        services.hid->addInterface(commandInterface(quint16(vendor), quint16(product)));
        auto link = newLink();
        QCOMPARE(link->GetPidVid(), present);
        // Only query handles were used, and none is left open.
        for (const auto &open : services.hid->opens())
            QCOMPARE(int(open.access), int(platform::HidAccess::Query));
        QCOMPARE(services.hid->openHandleCount(), 0);
    }

    void presenceSkipsUnreadableInterfaces()
    {
        FakeHidInterface broken = commandInterface(0x2F6B, 0x1812);
        broken.attributesFail = true;
        services.hid->addInterface(broken);
        FakeHidInterface closed = commandInterface(0x2F6B, 0x1813);
        closed.path += "-closed";
        closed.openFails = true;
        services.hid->addInterface(closed);
        auto link = newLink();
        QVERIFY(!link->GetPidVid());
        services.hid->addInterface(commandInterface(0x2F6B, 0x1813));
        QVERIFY(link->GetPidVid());
    }

    void presenceOutOfMemory()
    {
        platform::fake::addReceiverDevice(*services.hid, nullptr, 0x1812);
        services.hid->setOutOfMemory(true);
        LogCapture log;
        QVERIFY(!newLink()->GetPidVid());
        QVERIFY(log.contains("Out of memory"));
    }

    void interfaceSelection_data()
    {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("product");
        QTest::addColumn<int>("usagePage");
        QTest::addColumn<int>("usage");
        QTest::addColumn<int>("inputLength");
        QTest::addColumn<int>("outputLength");
        QTest::addColumn<int>("inputValueCaps");
        QTest::addColumn<int>("outputValueCaps");
        QTest::addColumn<HidCapsResult>("capsResult");
        QTest::addColumn<bool>("valueCapsFail");
        QTest::addColumn<bool>("selected");

        const HidCapsResult ok = HidCapsResult::Ok;
        QTest::newRow("vendor page, other usage")
            << 0x1812 << 0x1812 << 0xFF00 << 0x01 << 32 << 32 << 1 << 1 << ok << false << true;
        QTest::newRow("usage 0x0E on another page")
            << 0x1812 << 0x1812 << 0x000C << 0x0E << 32 << 32 << 1 << 1 << ok << false << true;
        QTest::newRow("second product id")
            << 0x1813 << 0x1813 << 0xFF00 << 0x01 << 32 << 32 << 1 << 1 << ok << false << true;
        QTest::newRow("product 0x1814")
            << 0x1812 << 0x1814 << 0xFF00 << 0x01 << 32 << 32 << 1 << 1 << ok << false << false;
        QTest::newRow("the other receiver id")
            << 0x1812 << 0x1813 << 0xFF00 << 0x01 << 32 << 32 << 1 << 1 << ok << false << false;
        QTest::newRow("mouse collection")
            << 0x1812 << 0x1812 << 0x0001 << 0x02 << 32 << 32 << 1 << 1 << ok << false << false;
        QTest::newRow("no output value capability")
            << 0x1812 << 0x1812 << 0xFF00 << 0x0E << 32 << 32 << 1 << 0 << ok << false << false;
        QTest::newRow("no input value capability")
            << 0x1812 << 0x1812 << 0xFF00 << 0x0E << 32 << 32 << 0 << 1 << ok << false << false;
        QTest::newRow("no input report")
            << 0x1812 << 0x1812 << 0xFF00 << 0x0E << 0 << 32 << 1 << 1 << ok << false << false;
        QTest::newRow("no output report")
            << 0x1812 << 0x1812 << 0xFF00 << 0x0E << 32 << 0 << 1 << 1 << ok << false << false;
        QTest::newRow("no preparsed data") << 0x1812 << 0x1812 << 0xFF00 << 0x0E << 32 << 32 << 1
                                           << 1 << HidCapsResult::NoPreparsedData << false << false;
        QTest::newRow("invalid preparsed data")
            << 0x1812 << 0x1812 << 0xFF00 << 0x0E << 32 << 32 << 1 << 1
            << HidCapsResult::InvalidPreparsedData << false << false;
        QTest::newRow("value caps unreadable")
            << 0x1812 << 0x1812 << 0xFF00 << 0x0E << 32 << 32 << 1 << 1 << ok << true << false;
    }
    void interfaceSelection()
    {
        QFETCH(int, wanted);
        QFETCH(int, product);
        QFETCH(int, usagePage);
        QFETCH(int, usage);
        QFETCH(int, inputLength);
        QFETCH(int, outputLength);
        QFETCH(int, inputValueCaps);
        QFETCH(int, outputValueCaps);
        QFETCH(HidCapsResult, capsResult);
        QFETCH(bool, valueCapsFail);
        QFETCH(bool, selected);

        FakeHidInterface i = commandInterface(0x2F6B, quint16(product));
        i.caps.usagePage = quint16(usagePage);
        i.caps.usage = quint16(usage);
        i.caps.inputReportByteLength = quint16(inputLength);
        i.caps.outputReportByteLength = quint16(outputLength);
        i.caps.numberInputValueCaps = quint16(inputValueCaps);
        i.caps.numberOutputValueCaps = quint16(outputValueCaps);
        i.capsResult = capsResult;
        i.valueCapsFail = valueCapsFail;
        services.hid->addInterface(i);

        auto link = newLink();
        const std::size_t before = services.hid->opens().size();
        QCOMPARE(link->openReceiver(0x2F6B, quint16(wanted)), selected);
        QCOMPARE(lastReadWritePath(*services.hid, before), selected ? i.path : std::string());
        QCOMPARE(link->useReceiver(quint16(wanted)), selected);
        // Query handles of skipped and chosen interfaces alike are closed again.
        QCOMPARE(services.hid->openHandleCount(), selected ? 1 : 0);
    }

    void receiverWithSeveralInterfacesOpensItsCommandInterface()
    {
        auto receiver = services.makeReceiver();
        const std::string commandPath =
            platform::fake::addReceiverDevice(*services.hid, receiver.get(), 0x1813);
        auto link = newLink();
        const std::size_t before = services.hid->opens().size();
        QVERIFY(!link->openReceiver(0x2F6B, 0x1812));
        QVERIFY(link->openReceiver(0x2F6B, 0x1813));
        QCOMPARE(lastReadWritePath(*services.hid, before), commandPath);
        QVERIFY(link->useReceiver(0x1813));
        QCOMPARE(link->queryMode(), quint8(0xA0));
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
        QVERIFY(!log.contains("out  report id:ba"));
    }

    void reopeningReleasesTheReplacedInterface()
    {
        auto receiver = services.makeReceiver();
        platform::fake::addReceiverDevice(*services.hid, receiver.get(), 0x1812);
        auto link = newLink();
        for (int round = 0; round < 4; ++round) {
            QVERIFY(link->openReceiver(0x2F6B, 0x1812));
            QVERIFY(link->useReceiver(0x1812));
            QCOMPARE(services.hid->openHandleCount(), 1);
        }
        // Replaced while still current: the current one lives until it is replaced.
        QVERIFY(link->openReceiver(0x2F6B, 0x1812));
        QCOMPARE(services.hid->openHandleCount(), 2);
        QVERIFY(link->useReceiver(0x1812));
        QCOMPARE(services.hid->openHandleCount(), 1);
        link.reset();
        QCOMPARE(services.hid->openHandleCount(), 0);
    }

    void commandsWithoutReceiverFail()
    {
        auto link = newLink();
        LogCapture log;
        const quint8 command[] = {0xA7};
        QVERIFY(!link->sendCommand(command, 1));
        QVERIFY(log.contains("HidD_SetFeature fail: "));
        quint8 reply[2] = {0x11, 0x22};
        QVERIFY(!link->readReply(reply, 2));
        QCOMPARE(reply[0], quint8(0x11));
        QCOMPARE(reply[1], quint8(0x22));
        QVERIFY(!link->sendCommand(nullptr, 1));
        QVERIFY(!link->readReply(nullptr, 1));
        QVERIFY(!link->useReceiver(0x1812));
    }

    void commandReportLayout()
    {
        auto receiver = services.makeReceiver();
        auto link = openedLink(*receiver);
        QVERIFY(link);
        const quint8 command[] = {0xA1, 0x84};
        // The simulated receiver refuses anything but 32 bytes with 0xBA first.
        QVERIFY(link->sendCommand(command, 2));
        QCOMPARE(receiver->commands().back(), (Bytes{0xA1, 0x84}));
        quint8 reply[3] = {0xA1, 0x84, 0x55};
        QVERIFY(link->readReply(reply, 2));
        QCOMPARE(reply[0], quint8(1));    // acknowledgement from byte 0 of the report
        QCOMPARE(reply[2], quint8(0x55)); // beyond the length: untouched
    }

    void readFailureKeepsTheBytes()
    {
        auto receiver = services.makeReceiver();
        auto link = openedLink(*receiver);
        QVERIFY(link);
        const quint8 command[] = {0xA7};
        QVERIFY(link->sendCommand(command, 1));
        receiver->setFailingReads(1);
        quint8 reply[2] = {0xA7, 0};
        LogCapture log;
        QVERIFY(!link->readReply(reply, 2));
        QVERIFY(log.contains("HidD_GetInputReport Failed, Error Code 31"));
        QCOMPARE(reply[0], quint8(0xA7));
        QVERIFY(link->readReply(reply, 2));
        QCOMPARE(reply[1], quint8(0xA0));
    }

    void sendFailureIsReported()
    {
        auto receiver = services.makeReceiver();
        auto link = openedLink(*receiver);
        QVERIFY(link);
        receiver->setFailingWrites(1);
        LogCapture log;
        const quint8 command[] = {0xA7};
        QVERIFY(!link->sendCommand(command, 1));
        QVERIFY(log.contains("HidD_SetFeature fail: "));
        // The report id and count of the last output value capability are named.
        QVERIFY(log.contains("31 186 31"));
    }

    // Receiver behaviour: 0 acknowledges, 1 echoes the report id instead,
    // 2 every read fails, 3 no reply (zeros).
    void queryMode_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("reads");
        QTest::newRow("acknowledged on the first read") << 0 << 0xA0 << 0xA0 << 1;
        QTest::newRow("pairing mode") << 0 << 0xA1 << 0xA1 << 1;
        QTest::newRow("report id in byte 0") << 1 << 0xA1 << 0xA1 << 3;
        QTest::newRow("every read fails") << 2 << 0xA0 << 0 << 3;
        QTest::newRow("no reply") << 3 << 0xA0 << 0 << 3;
    }
    void queryMode()
    {
        QFETCH(int, behaviour);
        QFETCH(int, mode);
        QFETCH(int, expected);
        QFETCH(int, reads);
        auto receiver = services.makeReceiver();
        auto link = openedLink(*receiver);
        QVERIFY(link);
        receiver->setMode(quint8(mode));
        receiver->setAcknowledges(behaviour != 1);
        if (behaviour == 2)
            receiver->setFailingReads(-1);
        if (behaviour == 3)
            receiver->setMissingReplies(100);
        QCOMPARE(int(link->queryMode()), expected);
        QCOMPARE(receiver->readCount(), reads);
        QCOMPARE(services.time->sleeps(), std::vector<int>(std::size_t(reads), 20));
        QCOMPARE(receiver->commands(), (std::vector<Bytes>{{0xA7}}));
    }

    void enterPairing_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("accepts");
        QTest::addColumn<bool>("readsFail");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<bool>("commandSent");
        QTest::addColumn<int>("modeAfter");
        QTest::newRow("idle receiver enters") << 0xA0 << true << false << true << true << 0xA1;
        QTest::newRow("already pairing") << 0xA1 << true << false << true << false << 0xA1;
        QTest::newRow("unknown mode") << 0x42 << true << false << false << false << 0x42;
        QTest::newRow("no mode at all") << 0x00 << true << false << false << false << 0x00;
        QTest::newRow("refused") << 0xA0 << false << false << false << true << 0xA0;
        QTest::newRow("every read fails") << 0xA0 << true << true << false << false << 0xA0;
    }
    void enterPairing()
    {
        QFETCH(int, mode);
        QFETCH(bool, accepts);
        QFETCH(bool, readsFail);
        QFETCH(bool, expected);
        QFETCH(bool, commandSent);
        QFETCH(int, modeAfter);
        auto receiver = services.makeReceiver();
        auto link = openedLink(*receiver);
        QVERIFY(link);
        receiver->setMode(quint8(mode));
        receiver->setAcceptsPairing(accepts);
        if (readsFail)
            receiver->setFailingReads(-1);
        QCOMPARE(link->enterPairing(), expected);
        QCOMPARE(receiver->commandCount({0xA0, 0x81, 0x01}), commandSent ? 1 : 0);
        QCOMPARE(int(receiver->mode()), modeAfter);
        if (commandSent) {
            // The mode query, the settling wait, then the pairing command's polls.
            const std::vector<int> sleeps = services.time->sleeps();
            QCOMPARE(sleeps.at(1), 10);
            QCOMPARE(sleeps.back(), 50);
            QCOMPARE(int(sleeps.size()), 2 + (accepts ? 1 : 5));
        }
    }

    // State bits: 0 none, 1 paired, 3 both.
    void readPairState_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<bool>("paired");
        QTest::addColumn<bool>("secondBit");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<int>("state");
        QTest::newRow("not yet paired") << 0 << false << false << true << 0;
        QTest::newRow("paired") << 0 << true << false << true << 1;
        QTest::newRow("both bits") << 0 << true << true << true << 3;
        QTest::newRow("second bit only") << 0 << false << true << true << 2;
        QTest::newRow("report id in byte 0") << 1 << true << false << true << 1;
        QTest::newRow("every read fails") << 2 << true << false << false << 0;
        QTest::newRow("no reply") << 3 << true << false << false << 0;
    }
    void readPairState()
    {
        QFETCH(int, behaviour);
        QFETCH(bool, paired);
        QFETCH(bool, secondBit);
        QFETCH(bool, expected);
        QFETCH(int, state);
        auto receiver = services.makeReceiver();
        auto link = openedLink(*receiver);
        QVERIFY(link);
        receiver->setMode(0xA1);
        receiver->setPairDelay(paired ? std::optional<std::int64_t>(0) : std::nullopt);
        receiver->setSecondStateBit(secondBit);
        receiver->setAcknowledges(behaviour != 1);
        if (behaviour == 2)
            receiver->setFailingReads(-1);
        if (behaviour == 3)
            receiver->setMissingReplies(100);
        int result = -1;
        QCOMPARE(link->readPairState(result), expected);
        QCOMPARE(result, state);
        QCOMPARE(receiver->commands(), (std::vector<Bytes>{{0xA1, 0x01}}));
        QCOMPARE(receiver->readCount(), behaviour == 0 ? 1 : 5);
    }

    void confirmPairing_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<int>("sleeps");
        QTest::newRow("acknowledged") << 0 << true << 2;
        QTest::newRow("report id in byte 0") << 1 << false << 6;
        QTest::newRow("every read fails") << 2 << false << 6;
    }
    void confirmPairing()
    {
        QFETCH(int, behaviour);
        QFETCH(bool, expected);
        QFETCH(int, sleeps);
        auto receiver = services.makeReceiver();
        auto link = openedLink(*receiver);
        QVERIFY(link);
        receiver->setMode(0xA1);
        receiver->setAcknowledges(behaviour != 1);
        if (behaviour == 2)
            receiver->setFailingReads(-1);
        QCOMPARE(link->confirmPairing(), expected);
        QCOMPARE(receiver->commands(), (std::vector<Bytes>{{0xA1, 0x84}}));
        // Each poll round waits 20 ms, and a last 20 ms follows the poll.
        QCOMPARE(services.time->sleeps(), std::vector<int>(std::size_t(sleeps), 20));
        // Confirming a paired mouse brings the receiver back to its idle mode.
        QCOMPARE(int(receiver->mode()), 0xA0);
    }
};

QTEST_GUILESS_MAIN(TestReceiverLink)
#include "tst_receiverlink.moc"
