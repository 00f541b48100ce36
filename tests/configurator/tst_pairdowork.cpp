// The pairing sequence end to end against the simulated receiver, the presence
// check and the plug notifications, as the pages see them through PairDoWork.
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
    // Starts a sequence with a mouse that never pairs and holds it in its first wait
    // for the mouse, its "enterSuccess" queued but not yet delivered.
    bool startAndHold(PairDoWork &work)
    {
        fake::addReceiverDevice(*services.hid, receiver.get(), 0x1812);
        receiver->setPairDelay(std::nullopt);
        record(work);
        services.time->holdNext(MousePair::kStateWaitMs);
        work.BeginPair();
        return services.time->waitUntilHeld(10000);
    }
    // Runs one sequence until its last text, and a little longer for late ones.
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
        // Commands sent: A0 81 01 (enter), A1 01 (state), A1 84 (confirm), A7 (mode).
        QTest::addColumn<QList<int>>("commands");
        const QStringList paired{"enter:enterSuccess", "pair:pairSuccess"};
        const QStringList notEntered{"enter:enterFailure"};
        const QStringList failed{"enter:enterSuccess", "pair:pairFailure"};
        QTest::newRow("no receiver") << "none" << 0LL << notEntered << QList<int>{0, 0, 0, 0};
        QTest::newRow("pairs after 5 s") << "" << 5000LL << paired << QList<int>{1, 5, 1, 2};
        QTest::newRow("never pairs") << "" << -1LL << failed << QList<int>{1, 30, 0, 1};
        QTest::newRow("already pairing") << "pairing" << 2000LL << paired << QList<int>{0, 2, 1, 2};
        QTest::newRow("pairing refused")
            << "refuses" << 0LL << notEntered << QList<int>{1, 0, 0, 1};
        // After confirming, at most five mode queries look for the idle mode.
        QTest::newRow("no return to idle") << "stays" << 0LL << failed << QList<int>{1, 1, 1, 6};
        QTest::newRow("state 3 never counts") << "both" << 0LL << failed << QList<int>{1, 30, 0, 1};
        QTest::newRow("second product id") << "0x1813" << 0LL << paired << QList<int>{1, 1, 1, 2};
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
        // Pressed again: the receiver is still in pairing mode, and the mouse pairs.
        receiver->setPairDelay(0);
        runSequence(work);
        QCOMPARE(texts, (QStringList{"enter:enterSuccess", "pair:pairSuccess"}));
        QCOMPARE(receiver->commandCount({0xA0, 0x81, 0x01}), 1);
        // The second sequence reopened the receiver; only the current interface stays open.
        QCOMPARE(services.hid->openHandleCount(), 1);
    }

    void destroyedDuringASequence()
    {
        {
            PairDoWork work;
            QVERIFY(startAndHold(work));
        }
        QTest::qWait(20);
        QVERIFY(texts.isEmpty());
        QCOMPARE(services.hid->openHandleCount(), 0);
    }

    void presence_data()
    {
        QTest::addColumn<bool>("plugged");
        QTest::addColumn<bool>("pluggedDuringTheWait");
        QTest::newRow("plugged") << true << false;
        QTest::newRow("absent") << false << false;
        // Found by the second look: the event loop ran during the wait.
        QTest::newRow("plugged in during the wait") << false << true;
    }
    void presence()
    {
        QFETCH(bool, plugged);
        QFETCH(bool, pluggedDuringTheWait);
        if (plugged)
            fake::addReceiverDevice(*services.hid, nullptr, 0x1813);
        if (pluggedDuringTheWait)
            QTimer::singleShot(0,
                               [this] { fake::addReceiverDevice(*services.hid, nullptr, 0x1812); });
        QCOMPARE(PairDoWork().CheckPlugInReceiver(), plugged || pluggedDuringTheWait);
    }

    void monitorRegistersItsOwnWindow()
    {
        PairDoWork work, failing;
        fake::FakeMessageWindow *window = services.messageWindows->front();
        QVERIFY(!window->isRegistered());
        work.BeginMonitor();
        QVERIFY(window->isCreated() && window->isRegistered());
        // Never the agent's title, which the configurator's exit asks to close.
        QVERIFY(window->title() != "VelkoOptions");
        services.messageWindows->back()->setRegisterError(1066);
        LogCapture log;
        failing.BeginMonitor();
        QVERIFY(log.contains(QStringLiteral("注册失败 1066")));
    }

    void plugRules_data()
    {
        QTest::addColumn<quint64>("event");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<bool>>("signalled");
        const quint64 in = platform::kDbtDeviceArrival, out = platform::kDbtDeviceRemoveComplete;
        const QString receiver = R"(\\?\USB#VID_2F6B&PID_1812#5&1a2b3c&0&2#{a5dcbf10-6530})";
        const QString lower = R"(\\?\usb#vid_2f6b&pid_1813&mi_00#5&1&0&3#{a5dcbf10})";
        const QString stick = R"(\\?\USB#VID_0781&PID_5567#4C530001#{a5dcbf10})";
        QTest::newRow("receiver in") << in << receiver << QList<bool>{true};
        QTest::newRow("receiver out") << out << receiver << QList<bool>{false};
        QTest::newRow("lower-case ids in") << in << lower << QList<bool>{true};
        QTest::newRow("lower-case ids out") << out << lower << QList<bool>{false};
        QTest::newRow("USB stick in") << in << stick << QList<bool>{false};
        QTest::newRow("USB stick out") << out << stick << QList<bool>{};
        QTest::newRow("removal pending") << quint64(0x8003) << receiver << QList<bool>{};
    }
    void plugRules()
    {
        QFETCH(quint64, event);
        QFETCH(QString, name);
        QFETCH(QList<bool>, signalled);
        PairDoWork work;
        work.BeginMonitor();
        QList<bool> seen;
        connect(&work, &PairDoWork::sigPlugInReceiver, [&](bool present) { seen << present; });
        services.messageWindows->front()->deliver({platform::kWmDeviceChange, std::uintptr_t(event),
                                                   0, true, platform::kDbtDevtypDeviceInterface,
                                                   name.toStdString()});
        QCOMPARE(seen, signalled);
    }
};

QTEST_MAIN(TestPairDoWork)
#include "tst_pairdowork.moc"
