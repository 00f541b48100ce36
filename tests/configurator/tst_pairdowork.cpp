#include "fakeservices.h"
#include "mousepair.h"
#include "pairdowork.h"

#include <QtTest>

class TestPairDoWork : public QObject
{
    Q_OBJECT

    FakeServices services;
    std::unique_ptr<fake::FakeReceiver> receiver;
    QStringList texts; // "enter:<text>" and "pair:<text>" as they arrived
    bool allOnMainThread = true;

    void record(PairDoWork &work)
    {
        const auto add = [this](const QString &text) {
            texts << text;
            allOnMainThread = allOnMainThread && QThread::currentThread() == qApp->thread();
        };
        connect(&work, &PairDoWork::sigEnterPair, [=](QString t) { add("enter:" + t); });
        connect(&work, &PairDoWork::sigPairRet, [=](QString t) { add("pair:" + t); });
    }
    // Held in its first wait for a mouse that never pairs, "enterSuccess" not yet delivered.
    bool startAndHold(PairDoWork &work)
    {
        fake::addReceiverDevice(*services.hid, receiver.get(), 0x1812);
        receiver->setPairDelay(std::nullopt);
        record(work);
        services.time->holdNext(MousePair::kStateWaitMs);
        work.BeginPair();
        return services.time->waitUntilHeld(10000);
    }
    void runSequence(PairDoWork &work)
    {
        work.BeginPair();
        QTRY_VERIFY_WITH_TIMEOUT(
            texts.contains("enter:enterFailure") || !texts.filter("pair:").isEmpty(), 20000);
        QTest::qWait(50);
    }

private slots:
    void init()
    {
        services = FakeServices();
        services.install();
        receiver = services.makeReceiver();
        texts.clear();
    }
    void cleanupTestCase() { ConfiguratorPlatform::installNative(); }

    void sequence_data()
    {
        QTest::addColumn<QString>("receiverSetup");
        QTest::addColumn<qint64>("pairDelay"); // -1: never
        QTest::addColumn<QStringList>("result");
        QTest::addColumn<QList<int>>("commands"); // enter, state, confirm and mode commands sent
        const QStringList paired{"enter:enterSuccess", "pair:pairSuccess"},
            notEntered{"enter:enterFailure"}, failed{"enter:enterSuccess", "pair:pairFailure"};
        const auto row = [](const char *tag, const char *setup, qint64 delay,
                            const QStringList &result, QList<int> commands) {
            QTest::newRow(tag) << setup << delay << result << commands;
        };
        row("no receiver", "none", 0, notEntered, {0, 0, 0, 0});
        row("pairs after 5 s", "", 5000, paired, {1, 5, 1, 2});
        row("never pairs", "", -1, failed, {1, 30, 0, 1});
        row("already pairing", "pairing", 2000, paired, {0, 2, 1, 2});
        row("pairing refused", "refuses", 0, notEntered, {1, 0, 0, 1});
        row("no return to idle", "stays", 0, failed, {1, 1, 1, 6}); // at most five looks for idle
    }
    void sequence()
    {
        QFETCH(QString, receiverSetup);
        QFETCH(qint64, pairDelay);
        QFETCH(QStringList, result);
        QFETCH(QList<int>, commands);
        if (receiverSetup != "none")
            fake::addReceiverDevice(*services.hid, receiver.get(),
                                    receiverSetup == "0x1813" ? 0x1813 : 0x1812);
        receiver->setPairDelay(pairDelay < 0 ? std::nullopt : std::optional<qint64>(pairDelay));
        if (receiverSetup == "pairing")
            receiver->setMode(fake::FakeReceiver::kModePairing);
        receiver->setAcceptsPairing(receiverSetup != "refuses");
        receiver->setReturnsToIdleAfterConfirm(receiverSetup != "stays");
        receiver->setSecondStateBit(receiverSetup == "both");

        PairDoWork work;
        record(work);
        runSequence(work);
        QCOMPARE(texts, result);
        QVERIFY(allOnMainThread);
        QCOMPARE((QList<int>{receiver->commandCount({0xA0, 0x81, 0x01}),
                             receiver->commandCount({0xA1, 0x01}),
                             receiver->commandCount({0xA1, 0x84}), receiver->commandCount({0xA7})}),
                 commands);
        // A second's settling after "enterSuccess", then 800 ms before each state query.
        const std::vector<int> sleeps = services.time->sleeps();
        QCOMPARE(int(std::count(sleeps.begin(), sleeps.end(), 1000)), int(texts.size() > 1));
        QCOMPARE(int(std::count(sleeps.begin(), sleeps.end(), 800)), commands[1]);
    }

    void pairPressedAgainDuringASequence()
    {
        PairDoWork work;
        QVERIFY(startAndHold(work));
        receiver->setPairDelay(0);
        runSequence(work);
        QCOMPARE(texts, (QStringList{"enter:enterSuccess", "pair:pairSuccess"}));
        QCOMPARE(receiver->commandCount({0xA0, 0x81, 0x01}), 1);
        QCOMPARE(services.hid->openHandleCount(), 1); // only the reopened interface
    }
    // Pulled out during the second a check waits, the receiver is reported gone by
    // the check that event makes, and the first check does not overturn that.
    void aCheckMadeMeanwhileHasTheLastWord()
    {
        fake::addReceiverDevice(*services.hid, receiver.get(), 0x1812);
        PairDoWork work;
        bool inner = true;
        QTimer::singleShot(100, [&] {
            services.hid->clear();
            inner = work.CheckPlugInReceiver();
        });
        QCOMPARE(work.CheckPlugInReceiver(), false);
        QCOMPARE(inner, false);
    }

    void plugRules_data()
    {
        QTest::addColumn<QList<quint64>>("events");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<bool>>("signalled");
        const quint64 in = platform::kDbtDeviceArrival, out = platform::kDbtDeviceRemoveComplete;
        const QString receiver = R"(\\?\USB#VID_2F6B&PID_1812#5&1a2b3c&0&2#{a5dcbf10-6530})";
        QTest::newRow("receiver") << QList<quint64>{in, out} << receiver
                                  << QList<bool>{true, false};
        QTest::newRow("USB stick")
            << QList<quint64>{in, out} << R"(\\?\USB#VID_0781&PID_5567#4C530001#{a5dcbf10})"
            << QList<bool>{false}; // nothing on removal
        QTest::newRow("removal pending") << QList<quint64>{0x8003} << receiver << QList<bool>{};
    }
    void plugRules()
    {
        QFETCH(QList<quint64>, events);
        QFETCH(QString, name);
        QFETCH(QList<bool>, signalled);
        PairDoWork work;
        work.BeginMonitor();
        QList<bool> seen;
        connect(&work, &PairDoWork::sigPlugInReceiver, [&](bool present) { seen << present; });
        for (quint64 event : events)
            services.messageWindows->front()->deliver(
                {platform::kWmDeviceChange, std::uintptr_t(event), 0, true,
                 platform::kDbtDevtypDeviceInterface, name.toStdString()});
        QCOMPARE(seen, signalled);
    }
};

QTEST_MAIN(TestPairDoWork)
#include "tst_pairdowork.moc"
