// Offscreen there is no notification area: the icon itself is never shown.
#include "appenv.h"
#include "configuratorapp.h"
#include "fakeservices.h"
#include "systemtrayicon.h"
#include "typeregistry.h"

#include "qmlwarninggate.h"

#include <QtTest>

#include <QMenu>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>

class TestTray : public QObject
{
    Q_OBJECT

    FakeServices fakes;

private slots:
    void initTestCase()
    {
        qmlgate::install();
        initConfiguratorResources();
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        fakes.install();
        registerConfiguratorTypes();
    }
    void cleanupTestCase() { ConfiguratorPlatform::installNative(); }

    void mainPageTray()
    {
        fake::FakeMessageWindow agent; // the agent's window
        QVERIFY(agent.create("VelkoOptions"));
        bool loopRunningWhenClosed = false;
        agent.setCloseHandler(
            [&] { loopRunningWhenClosed = QThread::currentThread()->loopLevel() > 0; });
        QTemporaryDir folder;
        appenv::setApplicationDir(folder.path());
        QQmlEngine engine;
        QQmlComponent component(&engine, QUrl("qrc:/main.qml"));
        std::unique_ptr<QObject> page(component.create());
        auto *window = qobject_cast<QWindow *>(page.get());
        QVERIFY2(window, qPrintable(component.errorString()));
        auto *tray = page->findChild<SystemTrayIcon *>("tray");
        QVERIFY(tray && tray->trayIcon()->isVisible());
        QVERIFY(!tray->trayIcon()->icon().isNull()); // from the compiled-in resource
        QCOMPARE(tray->trayIcon()->toolTip(), QStringLiteral("Velko Options"));
        const QList<QAction *> actions = tray->menu()->menu()->actions();
        QCOMPARE(actions.size(), 4);
        QCOMPARE(actions[1]->text(), QStringLiteral("Export settings..."));
        QCOMPARE(actions[2]->text(), QStringLiteral("Import settings..."));
        // Closing only hides; a left or double click on the icon, or its "show" entry, shows the
        // window again, a right click does not.
        window->close();
        QVERIFY(!window->isVisible());
        emit tray->trayIcon()->activated(QSystemTrayIcon::Context);
        QVERIFY(!window->isVisible());
        for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick}) {
            emit tray->trayIcon()->activated(reason);
            QVERIFY(window->isVisible());
            window->hide();
        }
        QCOMPARE(actions[0]->text(), QStringLiteral("show"));
        actions[0]->trigger();
        QVERIFY(window->isVisible());
        // A minimised window comes back in its normal state.
        window->showMinimized();
        emit tray->trayIcon()->activated(QSystemTrayIcon::Trigger);
        QCOMPARE(window->windowStates(), Qt::WindowNoState);
        // "exit" closes the agent from the running loop, then ends it with 0.
        QCOMPARE(actions[3]->text(), QStringLiteral("exit"));
        QTimer::singleShot(0, actions[3], &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(loopRunningWhenClosed);
        QVERIFY(!tray->trayIcon()->isVisible());
        appenv::setApplicationDir(QString());
    }
};

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
