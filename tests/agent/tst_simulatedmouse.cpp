// The simulated mouse: each control, pressed through the agent's request handler,
// reaches the event hub as the real driver's records would; refused requests say
// why. The command and its socket are exercised by the end-to-end test.
#include "fake_agent_platform.h"
#include "simulated_mouse.h"
#include "simulatedmouseserver.h"
#include "singletonglobalmousehook.h"
#include "usbdriver.h"

#include <QtTest>

using platform::fake::SimulatedMouse;

class TestSimulatedMouse : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        m_folder->setModel("QX210");
        m_mouse = std::make_unique<SimulatedMouse>();
        m_types.clear();
        connect(SingletonGlobalMouseHook::instance(), &SingletonGlobalMouseHook::sig_mouseHookParam,
                this, [this](int type, int) { m_types << type; });
    }
    void cleanup()
    {
        SingletonGlobalMouseHook::instance()->disconnect(this);
        m_mouse.reset();
        m_folder.reset();
    }

    void pressReachesTheHub_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QList<int>>("types"); // button-event codes, press then release
        QTest::newRow("middle key") << "middle-key" << QList<int>{0, 1};
        QTest::newRow("right key") << "right-key" << QList<int>{8, 9};
        QTest::newRow("side up key") << "side-up-key" << QList<int>{4, 5};
        QTest::newRow("side down key") << "side-down-key" << QList<int>{6, 7};
        QTest::newRow("wheel up") << "wheel-up" << QList<int>{11};
        QTest::newRow("wheel down") << "wheel-down" << QList<int>{10};
        QTest::newRow("side wheel left") << "side-wheel-left" << QList<int>{2};
        QTest::newRow("side wheel right") << "side-wheel-right" << QList<int>{3};
    }
    void pressReachesTheHub()
    {
        QFETCH(QString, control);
        QFETCH(QList<int>, types);
        USBDriver driver(*m_mouse);
        QVERIFY(driver.open());
        driver.start(QThread::InheritPriority);
        SimulatedMouseServer server(*m_mouse);
        QCOMPARE(server.handle("press " + control + "\n"), QStringLiteral("ok"));
        QTRY_COMPARE(m_types, types);
        driver.stop();
        QVERIFY(driver.wait(3000));
    }

    void refusedRequests_data()
    {
        QTest::addColumn<bool>("armed");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("answer"); // its beginning
        QTest::newRow("unknown control") << true << "press middle"
                                         << "error: no control \"middle\"";
        QTest::newRow("unknown request") << true << "hold middle-key"
                                         << "error: unknown request";
        QTest::newRow("driver not armed") << false << "press middle-key"
                                          << "error: the mouse driver is not listening";
    }
    void refusedRequests()
    {
        QFETCH(bool, armed);
        QFETCH(QString, request);
        QFETCH(QString, answer);
        m_mouse->setPresent(armed);
        USBDriver driver(*m_mouse);
        QCOMPARE(driver.open(), armed);
        SimulatedMouseServer server(*m_mouse);
        const QString got = server.handle(request);
        QVERIFY2(got.startsWith(answer), qPrintable(got));
        QCOMPARE(m_mouse->pendingRecords(), std::size_t(0));
    }

private:
    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<SimulatedMouse> m_mouse;
    QList<int> m_types;
};

QTEST_MAIN(TestSimulatedMouse)
#include "tst_simulatedmouse.moc"
