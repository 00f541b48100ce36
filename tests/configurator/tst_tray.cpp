// The tray types as the pages declare them: icon URLs, activation, the menu built
// from its declared children, and the end of the program from the tray. There is
// no notification area here (offscreen), so the icon itself is never shown.
#include "appenv.h"
#include "fakeservices.h"
#include "myaction.h"
#include "mymenu.h"
#include "myseparator.h"
#include "systemtrayicon.h"
#include "typeregistry.h"

#include <QtTest>

#include <QMenu>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>

void initConfiguratorResources();

Q_DECLARE_METATYPE(QSystemTrayIcon::ActivationReason)

class TestTray : public QObject
{
    Q_OBJECT

private:
    FakeServices fakes;

    // Creates the QML object described by `source` (imports added).
    std::unique_ptr<QObject> create(QQmlEngine &engine, const QByteArray &source)
    {
        QQmlComponent component(&engine);
        component.setData("import QtQuick 2.15\nimport an.utility 1.0\n" + source, QUrl());
        std::unique_ptr<QObject> object(component.create());
        if (!object)
            qWarning() << component.errors();
        return object;
    }

private slots:
    void initTestCase()
    {
        initConfiguratorResources();
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        fakes.install();
        registerConfiguratorTypes();
    }
    void cleanupTestCase() { ConfiguratorPlatform::installNative(); }

    void activation_data()
    {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<int>("triggers");
        QTest::newRow("left click") << QSystemTrayIcon::Trigger << 1;
        QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << 1;
        QTest::newRow("right click") << QSystemTrayIcon::Context << 0;
        QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << 0;
        QTest::newRow("unknown") << QSystemTrayIcon::Unknown << 0;
    }
    void activation()
    {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(int, triggers);
        SystemTrayIcon tray;
        QSignalSpy spy(&tray, &SystemTrayIcon::trigger);
        // As the system reports it.
        emit tray.trayIcon()->activated(reason);
        QCOMPARE(spy.count(), triggers);
    }

    void iconPath_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("path");
        QTest::newRow("resource") << QUrl("qrc:/images/app.ico") << ":/images/app.ico";
        QTest::newRow("local file")
            << QUrl::fromLocalFile("/opt/velko/tray.png") << "/opt/velko/tray.png";
        QTest::newRow("resource with authority")
            << QUrl("qrc:///images/app.ico") << ":///images/app.ico";
        QTest::newRow("empty") << QUrl() << "";
    }
    void iconPath()
    {
        QFETCH(QUrl, url);
        QFETCH(QString, path);
        QCOMPARE(SystemTrayIcon::iconPathFromUrl(url), path);
    }

    void iconsLoad()
    {
        QVERIFY(
            !SystemTrayIcon::iconFromUrl(QUrl("qrc:/images/app.ico")).availableSizes().isEmpty());
        QTemporaryDir dir;
        const QString file = dir.filePath("tray.png");
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(file));
        QVERIFY(!SystemTrayIcon::iconFromUrl(QUrl::fromLocalFile(file)).availableSizes().isEmpty());
        QVERIFY(
            SystemTrayIcon::iconFromUrl(QUrl("qrc:/images/none.ico")).availableSizes().isEmpty());

        MyAction action;
        QSignalSpy changed(&action, &MyAction::iconChanged);
        action.setIcon(QUrl::fromLocalFile(file));
        action.setIcon(QUrl::fromLocalFile(file));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!action.QAction::icon().isNull());
    }

    void propertiesNotifyOnlyOnChange()
    {
        SystemTrayIcon tray;
        QSignalSpy icon(&tray, &SystemTrayIcon::iconChanged);
        QSignalSpy tip(&tray, &SystemTrayIcon::toolTipChanged);
        QSignalSpy menu(&tray, &SystemTrayIcon::menuChanged);
        tray.setIcon(QUrl("qrc:/images/app.ico"));
        tray.setIcon(QUrl("qrc:/images/app.ico"));
        tray.setToolTip("Velko Options");
        tray.setToolTip("Velko Options");
        MyMenu myMenu;
        tray.setMenu(&myMenu);
        tray.setMenu(&myMenu);
        QCOMPARE(icon.count(), 1);
        QCOMPARE(tip.count(), 1);
        QCOMPARE(menu.count(), 1);
        QVERIFY(!tray.trayIcon()->icon().isNull());
        QCOMPARE(tray.trayIcon()->toolTip(), QStringLiteral("Velko Options"));
        QCOMPARE(tray.trayIcon()->contextMenu(), myMenu.menu());
    }

    void visibilityFollowsTheItem()
    {
        SystemTrayIcon tray;
        QVERIFY(!tray.isVisible());
        QVERIFY(!tray.trayIcon()->isVisible());
        tray.setVisible(true);
        QVERIFY(tray.trayIcon()->isVisible());
        tray.setVisible(false);
        QVERIFY(!tray.trayIcon()->isVisible());
    }

    void menuIsBuiltFromItsChildren()
    {
        QQmlEngine engine;
        auto root = create(engine, R"(
            MyMenu {
                MyAction { text: "show" }
                MySeparator {}
                MyAction { text: "renamed"; objectName: "other" }
                QtObject { objectName: "MyAction" }
                MyMenu {
                    objectName: "MyMenu"
                    MyAction { text: "inner" }
                }
                MyAction { text: "exit" }
            })");
        QVERIFY(root);
        auto *menu = qobject_cast<MyMenu *>(root.get());
        QVERIFY(menu);
        QStringList entries;
        for (QAction *action : menu->menu()->actions()) {
            if (action->isSeparator())
                entries << "-";
            else if (action->menu())
                entries << "menu:" + action->menu()->actions().value(0)->text();
            else
                entries << action->text();
        }
        QCOMPARE(entries, (QStringList{"show", "-", "menu:inner", "exit"}));
    }

    void exitEndsTheEventLoopWithZero()
    {
        SystemTrayIcon tray;
        tray.setVisible(true);
        QTimer::singleShot(0, &tray, &SystemTrayIcon::onExit);
        const int code = QCoreApplication::exec();
        QCOMPARE(code, 0);
        QVERIFY(!tray.trayIcon()->isVisible());
    }

    void mainPageExitClosesTheAgentThenQuits()
    {
        // The agent's window, as the fake window directory finds it.
        platform::fake::FakeMessageWindow agent;
        QVERIFY(agent.create("VelkoOptions"));
        bool loopRunningWhenClosed = false;
        agent.setCloseHandler(
            [&] { loopRunningWhenClosed = QThread::currentThread()->loopLevel() > 0; });
        QTemporaryDir folder;
        appenv::setApplicationDir(folder.path());

        QQmlEngine engine;
        QQmlComponent component(&engine, QUrl("qrc:/main.qml"));
        std::unique_ptr<QObject> page(component.create());
        QVERIFY2(page, qPrintable(component.errorString()));
        auto *tray = page->findChild<SystemTrayIcon *>("tray");
        QVERIFY(tray);
        QVERIFY(tray->isVisible());
        QCOMPARE(tray->icon(), QUrl("qrc:/images/app.ico"));
        QCOMPARE(tray->toolTip(), QStringLiteral("Velko Options"));
        QVERIFY(tray->menu());
        const QList<QAction *> actions = tray->menu()->menu()->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0]->text(), QStringLiteral("show"));
        QCOMPARE(actions[1]->text(), QStringLiteral("exit"));

        QTimer::singleShot(0, actions[1], &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(loopRunningWhenClosed);
        QVERIFY(!tray->trayIcon()->isVisible());
        appenv::setApplicationDir(QString());
    }

    void mainPageShowAndTriggerShowTheWindow()
    {
        QTemporaryDir folder;
        appenv::setApplicationDir(folder.path());
        QQmlEngine engine;
        QQmlComponent component(&engine, QUrl("qrc:/main.qml"));
        std::unique_ptr<QObject> page(component.create());
        QVERIFY2(page, qPrintable(component.errorString()));
        auto *window = qobject_cast<QWindow *>(page.get());
        QVERIFY(window);
        auto *tray = page->findChild<SystemTrayIcon *>("tray");
        QVERIFY(tray);

        // Closing only hides.
        window->close();
        QVERIFY(!window->isVisible());
        emit tray->trayIcon()->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(window->isVisible());

        window->hide();
        tray->menu()->menu()->actions().at(0)->trigger();
        QVERIFY(window->isVisible());
        appenv::setApplicationDir(QString());
    }
};

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
