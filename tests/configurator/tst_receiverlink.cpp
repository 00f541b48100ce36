#include "fakeservices.h"
#include "receiverlink.h"

#include <QtTest>

using fake::FakeHidInterface;

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
        QTest::addColumn<bool>("present"); // for the "vendor:product" that names the row
        for (const char *id : {"2f6b:1812", "2f6b:1813"})
            QTest::newRow(id) << true;
        for (const char *id : {"2f6b:1814", "2f6c:1812"})
            QTest::newRow(id) << false;
    }
    void presence()
    {
        QFETCH(bool, present);
        const QStringList id = QString(QTest::currentDataTag()).split(':');
        // Another maker's keyboard and two unreadable receiver interfaces come first.
        services.hid->addInterface(commandInterface(0x046D, 0xC31C));
        for (const bool unreadable : {true, false}) {
            FakeHidInterface i = commandInterface(0x2F6B, 0x1812);
            i.path += unreadable ? "-broken" : "-closed";
            (unreadable ? i.attributesFail : i.openFails) = true;
            services.hid->addInterface(i);
        }
        services.hid->addInterface(
            commandInterface(id[0].toUShort(nullptr, 16), id[1].toUShort(nullptr, 16)));
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
        for (const char *defect : {"no input report", "no output value caps", "no preparsed data"})
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
        QCOMPARE(services.hid->openHandleCount(), selected ? 1 : 0); // query handles closed again
    }

    void commands_data()
    {
        // "command mode receiver result/sleeps/sent"; the pair state's result is the state, -1
        // when none.
        QTest::addColumn<QString>("row");
        for (const char *row :
             {"mode a1 echo a1/20 20 20/a7", "mode a0 fail 0/20 20 20/a7",
              "enter a0 ack 1/20 10 50/a7 a08101",
              "enter a0 refuse 0/20 10 50 50 50 50 50/a7 a08101", "enter 42 ack 0/20/a7",
              "state a1 both 3/20/a101",
              "state a1 two 0/20/a101", // a state byte counts only when it is exactly 1
              "state a1 silent -1/20 20 20 20 20/a101", "confirm a1 ack 1/20 20/a184",
              "confirm a1 fail 0/20 20 20 20 20 20/a184"})
            QTest::newRow(row) << QString(row);
    }
    void commands()
    {
        QFETCH(QString, row);
        const QStringList parts = row.split('/'), c = parts[0].split(' ');
        const QString command = c[0], receiver = c[2];
        auto fake = services.makeReceiver();
        auto link = openedLink(*fake);
        QVERIFY(link);
        fake->setMode(quint8(c[1].toUInt(nullptr, 16)));
        fake->setAcknowledges(receiver != "echo");
        fake->setAcceptsPairing(receiver != "refuse");
        fake->setPairDelay(receiver == "unpaired" ? std::nullopt : std::optional<qint64>(0));
        fake->setSecondStateBit(receiver == "both" || receiver == "two");
        fake->setStateByteValue(receiver == "two" ? 2 : 1);
        fake->setFailingReads(receiver == "fail" ? -1 : 0);
        fake->setMissingReplies(receiver == "silent" ? 100 : 0);

        int state = -1;
        QCOMPARE(command == "mode"    ? link->queryMode()
                 : command == "enter" ? link->enterPairing()
                 : command == "state" ? (link->readPairState(state) ? state : -1)
                                      : link->confirmPairing(),
                 int(c[3].toInt(nullptr, 16)));
        QStringList sleeps, sent;
        for (int ms : services.time->sleeps())
            sleeps << QString::number(ms);
        for (const auto &bytes : fake->commands())
            sent << QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()))
                        .toHex();
        QCOMPARE(sleeps.join(' '), parts[1]);
        QCOMPARE(sent.join(' '), parts[2]);
    }
};

QTEST_GUILESS_MAIN(TestReceiverLink)
#include "tst_receiverlink.moc"
