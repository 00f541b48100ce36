// The pairing sequence end to end against the simulated receiver, the presence
// check and the plug notifications, as the pages see them through PairDoWork.
#include "fakeservices.h"
#include "mousepair.h"
#include "pairdowork.h"
#include "vlnativeeventfilter.h"

#include <QtTest>

using platform::WindowMessage;
using platform::fake::FakeReceiver;

namespace {

// Records the texts in arrival order, with the thread they arrived on.
struct Progress
{
    QStringList texts;
    bool allOnMainThread = true;

    void attach(PairDoWork &work)
    {
        QObject::connect(&work, &PairDoWork::sigEnterPair,
                         [this](const QString &text) { record(QStringLiteral("enter:") + text); });
        QObject::connect(&work, &PairDoWork::sigPairRet,
                         [this](const QString &text) { record(QStringLiteral("pair:") + text); });
    }
    void record(const QString &text)
    {
        texts << text;
        if (QThread::currentThread() != qApp->thread())
            allOnMainThread = false;
    }
};

WindowMessage deviceChange(std::uintptr_t event, std::uint32_t deviceType, const char *name)
{
    WindowMessage m;
    m.message = platform::kWmDeviceChange;
    m.wParam = event;
    m.hasBroadcast = true;
    m.deviceType = deviceType;
    m.interfaceName = name;
    return m;
}

} // namespace

class TestPairDoWork : public QObject
{
    Q_OBJECT

private:
    FakeServices services;

    // Runs one sequence and waits for its final text (or, after "enterFailure", for
    // the worker to go idle).
    QStringList runSequence(PairDoWork &work, Progress &progress)
    {
        work.BeginPair();
        const auto done = [&] {
            return progress.texts.contains(QStringLiteral("enter:enterFailure")) ||
                   progress.texts.filter(QStringLiteral("pair:")).size() > 0;
        };
        QDeadlineTimer deadline(20000);
        while (!done() && !deadline.hasExpired())
            QTest::qWait(5);
        // Anything late would arrive now.
        QTest::qWait(50);
        return progress.texts;
    }

private slots:
    void init()
    {
        services.hid->clear();
        services.messageWindows->clear();
        services.install();
    }

    void cleanupTestCase() { ConfiguratorPlatform::installNative(); }

    // Receiver setups: 0 none, 1 idle, 2 already pairing, 3 refuses pairing,
    // 4 never answers a read, 5 stays in pairing mode after confirming,
    // 6 reports both state bits, 7 second product id only.
    void sequence_data()
    {
        QTest::addColumn<int>("setup");
        QTest::addColumn<qint64>("pairDelay"); // -1: never
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("pairCommands"); // A0 81 01 sent
        QTest::addColumn<int>("stateQueries"); // A1 01 sent
        QTest::addColumn<int>("confirms");     // A1 84 sent
        QTest::addColumn<int>("modeQueries");  // A7 sent

        const QStringList paired{"enter:enterSuccess", "pair:pairSuccess"};
        const QStringList notPaired{"enter:enterFailure"};
        const QStringList timedOut{"enter:enterSuccess", "pair:pairFailure"};
        QTest::newRow("no receiver") << 0 << qint64(0) << notPaired << 0 << 0 << 0 << 0;
        QTest::newRow("mouse pairs at once") << 1 << qint64(0) << paired << 1 << 1 << 1 << 2;
        QTest::newRow("mouse pairs after 5 s") << 1 << qint64(5000) << paired << 1 << 5 << 1 << 2;
        QTest::newRow("mouse never pairs") << 1 << qint64(-1) << timedOut << 1 << 30 << 0 << 1;
        QTest::newRow("already pairing") << 2 << qint64(2000) << paired << 0 << 2 << 1 << 2;
        QTest::newRow("pairing refused") << 3 << qint64(0) << notPaired << 1 << 0 << 0 << 1;
        QTest::newRow("no reply ever read") << 4 << qint64(0) << notPaired << 0 << 0 << 0 << 1;
        QTest::newRow("no return to idle") << 5 << qint64(0) << timedOut << 1 << 1 << 1 << 6;
        QTest::newRow("state 3 never counts") << 6 << qint64(0) << timedOut << 1 << 30 << 0 << 1;
        QTest::newRow("second product id") << 7 << qint64(0) << paired << 1 << 1 << 1 << 2;
    }
    void sequence()
    {
        QFETCH(int, setup);
        QFETCH(qint64, pairDelay);
        QFETCH(QStringList, texts);
        QFETCH(int, pairCommands);
        QFETCH(int, stateQueries);
        QFETCH(int, confirms);
        QFETCH(int, modeQueries);

        auto receiver = services.makeReceiver();
        if (setup != 0)
            platform::fake::addReceiverDevice(*services.hid, receiver.get(),
                                              setup == 7 ? 0x1813 : 0x1812);
        receiver->setPairDelay(pairDelay < 0 ? std::nullopt
                                             : std::optional<std::int64_t>(pairDelay));
        if (setup == 2)
            receiver->setMode(FakeReceiver::kModePairing);
        receiver->setAcceptsPairing(setup != 3);
        if (setup == 4)
            receiver->setFailingReads(-1);
        receiver->setReturnsToIdleAfterConfirm(setup != 5);
        receiver->setSecondStateBit(setup == 6);

        PairDoWork work;
        Progress progress;
        progress.attach(work);
        QCOMPARE(runSequence(work, progress), texts);
        QVERIFY(progress.allOnMainThread);
        QCOMPARE(receiver->commandCount({0xA0, 0x81, 0x01}), pairCommands);
        QCOMPARE(receiver->commandCount({0xA1, 0x01}), stateQueries);
        QCOMPARE(receiver->commandCount({0xA1, 0x84}), confirms);
        // After confirming, at most five mode queries look for the idle mode.
        QCOMPARE(receiver->commandCount({0xA7}), modeQueries);
    }

    void sequenceTiming()
    {
        auto receiver = services.makeReceiver();
        platform::fake::addReceiverDevice(*services.hid, receiver.get(), 0x1812);
        receiver->setPairDelay(std::nullopt);
        PairDoWork work;
        Progress progress;
        progress.attach(work);
        services.time->clearSleeps();
        runSequence(work, progress);
        const std::vector<int> sleeps = services.time->sleeps();
        // One second's settling after "enterSuccess", then 30 rounds of 800 ms, each
        // followed by the pair-state poll's single 20 ms wait.
        const auto settle = std::find(sleeps.begin(), sleeps.end(), 1000);
        QVERIFY(settle != sleeps.end());
        QCOMPARE(std::count(sleeps.begin(), sleeps.end(), 800), 30L);
        QCOMPARE(std::vector<int>(settle + 1, settle + 3), (std::vector<int>{800, 20}));
    }

    void pairPressedAgainDuringASequence()
    {
        auto receiver = services.makeReceiver();
        platform::fake::addReceiverDevice(*services.hid, receiver.get(), 0x1812);
        receiver->setPairDelay(std::nullopt);
        PairDoWork work;
        Progress progress;
        progress.attach(work);

        // The first sequence gets into pairing mode and is stopped in its first
        // wait for the mouse; its "enterSuccess" is queued but not yet delivered.
        services.time->holdNext(MousePair::kStateWaitMs);
        work.BeginPair();
        QVERIFY(services.time->waitUntilHeld(10000));
        QVERIFY(progress.texts.isEmpty());

        // Pressed again: this time the mouse pairs.
        receiver->setPairDelay(0);
        const QStringList texts = runSequence(work, progress);
        QCOMPARE(texts, (QStringList{"enter:enterSuccess", "pair:pairSuccess"}));
        // The second sequence found the receiver already in pairing mode.
        QCOMPARE(receiver->commandCount({0xA0, 0x81, 0x01}), 1);
    }

    void sequenceCanBeRunAgain()
    {
        auto receiver = services.makeReceiver();
        platform::fake::addReceiverDevice(*services.hid, receiver.get(), 0x1812);
        PairDoWork work;
        Progress progress;
        progress.attach(work);
        runSequence(work, progress);
        progress.texts.clear();
        QCOMPARE(runSequence(work, progress),
                 (QStringList{"enter:enterSuccess", "pair:pairSuccess"}));
        // Every sequence reopened the receiver; only the current interface stays open.
        QCOMPARE(services.hid->openHandleCount(), 1);
    }

    void destroyedDuringASequence()
    {
        auto receiver = services.makeReceiver();
        platform::fake::addReceiverDevice(*services.hid, receiver.get(), 0x1812);
        receiver->setPairDelay(std::nullopt);
        Progress progress;
        {
            PairDoWork work;
            progress.attach(work);
            services.time->holdNext(MousePair::kStateWaitMs);
            work.BeginPair();
            QVERIFY(services.time->waitUntilHeld(10000));
        }
        QTest::qWait(20);
        QVERIFY(progress.texts.isEmpty());
        QCOMPARE(services.hid->openHandleCount(), 0);
    }

    void presence_data()
    {
        QTest::addColumn<bool>("plugged");
        QTest::addColumn<bool>("pluggedDuringTheWait");
        QTest::addColumn<bool>("present");
        QTest::newRow("plugged") << true << false << true;
        QTest::newRow("absent") << false << false << false;
        QTest::newRow("plugged in during the wait") << false << true << true;
    }
    void presence()
    {
        QFETCH(bool, plugged);
        QFETCH(bool, pluggedDuringTheWait);
        QFETCH(bool, present);
        if (plugged)
            platform::fake::addReceiverDevice(*services.hid, nullptr, 0x1813);
        PairDoWork work;
        bool eventsRan = false;
        // The check keeps the event loop going while it waits.
        QTimer::singleShot(0, [&] {
            eventsRan = true;
            if (pluggedDuringTheWait)
                platform::fake::addReceiverDevice(*services.hid, nullptr, 0x1812);
        });
        QCOMPARE(work.CheckPlugInReceiver(), present);
        QVERIFY(eventsRan);
    }

    void monitorRegistersForNotifications()
    {
        PairDoWork work;
        QCOMPARE(int(services.messageWindows->size()), 1);
        platform::fake::FakeMessageWindow *window = services.messageWindows->front();
        QVERIFY(!window->isRegistered());
        work.BeginMonitor();
        QVERIFY(window->isCreated());
        QVERIFY(window->isRegistered());
        QVERIFY(window->title() != "VelkoOptions");
    }

    void failedRegistrationIsLogged()
    {
        PairDoWork work;
        services.messageWindows->front()->setRegisterError(1066);
        LogCapture log;
        work.BeginMonitor();
        QVERIFY(log.contains(QStringLiteral("注册失败 1066")));
    }

    void plugRules_data()
    {
        QTest::addColumn<quint64>("event");
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<bool>>("expected");

        const quint64 in = platform::kDbtDeviceArrival;
        const quint64 out = platform::kDbtDeviceRemoveComplete;
        const QString receiver =
            R"(\\?\USB#VID_2F6B&PID_1812#5&1a2b3c&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed})";
        const QString second = R"(\\?\USB#VID_2F6B&PID_1813&MI_00#6&2&0&0000#{a5dcbf10})";
        const QString lower = R"(\\?\usb#vid_2f6b&pid_1813#5&1&0&3#{a5dcbf10})";
        const QString stick = R"(\\?\USB#VID_0781&PID_5567#4C530001#{a5dcbf10})";
        const QString nextProduct = R"(\\?\USB#VID_2F6B&PID_1814#1#{a5dcbf10})";
        const QString noIds = R"(\\?\ROOT#SYSTEM#0000#{a5dcbf10})";

        QTest::newRow("receiver in") << in << 5 << receiver << QList<bool>{true};
        QTest::newRow("receiver out") << out << 5 << receiver << QList<bool>{false};
        QTest::newRow("second receiver id in") << in << 5 << second << QList<bool>{true};
        QTest::newRow("lower-case ids in") << in << 5 << lower << QList<bool>{true};
        QTest::newRow("lower-case ids out") << out << 5 << lower << QList<bool>{false};
        QTest::newRow("USB stick in") << in << 5 << stick << QList<bool>{false};
        QTest::newRow("USB stick out") << out << 5 << stick << QList<bool>{};
        QTest::newRow("product 0x1814 in") << in << 5 << nextProduct << QList<bool>{false};
        QTest::newRow("product 0x1814 out") << out << 5 << nextProduct << QList<bool>{};
        QTest::newRow("name without ids in") << in << 5 << noIds << QList<bool>{false};
        QTest::newRow("name without ids out") << out << 5 << noIds << QList<bool>{};
        QTest::newRow("volume, not an interface") << in << 2 << receiver << QList<bool>{};
        QTest::newRow("other device event") << quint64(0x0007) << 5 << receiver << QList<bool>{};
        QTest::newRow("removal pending") << quint64(0x8003) << 5 << receiver << QList<bool>{};
    }
    void plugRules()
    {
        QFETCH(quint64, event);
        QFETCH(int, deviceType);
        QFETCH(QString, name);
        QFETCH(QList<bool>, expected);

        PairDoWork work;
        work.BeginMonitor();
        QSignalSpy spy(&work, &PairDoWork::sigPlugInReceiver);
        services.messageWindows->front()->deliver(deviceChange(
            std::uintptr_t(event), std::uint32_t(deviceType), name.toStdString().c_str()));
        QList<bool> seen;
        for (const QList<QVariant> &args : spy)
            seen << args.at(0).toBool();
        QCOMPARE(seen, expected);
    }
};

QTEST_MAIN(TestPairDoWork)
#include "tst_pairdowork.moc"
