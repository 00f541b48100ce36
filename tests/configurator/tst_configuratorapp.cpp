#include "appenv.h"
#include "applicationfont.h"
#include "configuratorapp.h"
#include "fake_instance_lock.h"
#include "qmlwarninggate.h"
#include "fakeservices.h"
#include "languagecode.h"
#include "runningcopy.h"
#include "typeregistry.h"

#include <QtTest>

#include <algorithm>
#include <future>

#include <QApplication>
#include <QQmlComponent>
#include <QQmlEngine>

class TestConfiguratorApp : public QObject
{
    Q_OBJECT

    FakeServices fakes;
    std::unique_ptr<QTemporaryDir> folder;
    QStringList notices; // "<title>|<text>" of every notice shown
    int channels = 0;
    const QString font = qEnvironmentVariable("VELKO_BIN_DIR") + "/font/" + kFontFileName;

    ConfiguratorStartup startup(bool withFont = false)
    {
        folder = std::make_unique<QTemporaryDir>();
        if (withFont) {
            QDir(folder->path()).mkpath("font");
            QFile::copy(font, folder->filePath(QStringLiteral("font/") + kFontFileName));
        }
        appenv::setApplicationDir(folder->path());
        ConfiguratorStartup s = ConfiguratorStartup::native();
        s.instanceLock = std::make_unique<fake::FakeInstanceLock>();
        s.showNotice = [this](const QString &title, const QString &t) {
            notices << title + '|' + t;
        };
        // A channel of this run's own, which no configurator of the machine serves.
        s.showChannel = QStringLiteral("velko-test-%1-%2")
                            .arg(QCoreApplication::applicationPid())
                            .arg(++channels);
        return s;
    }

private slots:
    void initTestCase()
    {
        qmlgate::install();
        fakes.install();
    }
    void cleanup()
    {
        appenv::setApplicationDir(QString());
        appenv::setLanguageCode(QStringLiteral("en"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        notices.clear();
    }
    void cleanupTestCase() { ConfiguratorPlatform::installNative(); }

    // Each entry of the table is creatable under its module as that class (the pages,
    // loaded by their own suites, catch a type missing or under another module).
    void typesAreCreatableUnderTheirModules()
    {
        startup();
        registerConfiguratorTypes();
        QQmlEngine engine;
        for (const QmlTypeEntry &entry : configuratorTypes()) {
            QQmlComponent component(&engine);
            component.setData(
                QStringLiteral("import %1 1.0\n%2 {}\n").arg(entry.uri, entry.name).toUtf8(),
                QUrl());
            std::unique_ptr<QObject> object(component.create());
            QVERIFY2(object && QString(object->metaObject()->className()) == entry.name,
                     qPrintable(component.errorString()));
        }
    }

    // A second start brings the first copy's window back, hidden or minimised.
    void secondCopyShowsTheRunningWindow()
    {
        ConfiguratorStartup first = startup();
        QWindow *window = nullptr;
        std::future<bool> asked;
        bool shown = false, minimised = true;
        first.mainPageLoaded = [&](QObject *root) { window = qobject_cast<QWindow *>(root); };
        QTimer::singleShot(0, qApp, [&] {
            window->showMinimized();
            window->hide();
            // As a second process would: blocking, so not on this thread.
            asked = std::async(std::launch::async, RunningCopy::askToShow, first.showChannel,
                               RunningCopy::kAnswerMs);
            shown = QTest::qWaitFor([&] { return window->isVisible(); }, 5000);
            minimised = window->windowStates() & Qt::WindowMinimized;
            QCoreApplication::exit(0);
        });
        QCOMPARE(runConfigurator(*qApp, first), 0);
        QVERIFY(shown);
        QVERIFY(asked.get());
        QVERIFY(!minimised);
        QVERIFY(notices.isEmpty());
        // Nobody serves the channel now: the notice again.
        QVERIFY(!RunningCopy::askToShow(first.showChannel, 200));
    }

    // A second start while a copy runs, whose channel nobody answers here: the
    // notice, unless started at log-in, when it ends without a word.
    void secondStart_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<int>("shown");
        QTest::newRow("started by the user") << false << 1;
        QTest::newRow("at log-in") << true << 0;
    }
    void secondStart()
    {
        QFETCH(bool, quiet);
        QFETCH(int, shown);
        fake::FakeInstanceLock running;
        QCOMPARE(running.acquire(kConfiguratorInstanceLock), platform::LockResult::Acquired);
        ConfiguratorPlatform services = fakes.platform();
        services.quietStart = quiet;
        ConfiguratorPlatform::install(services);
        ConfiguratorStartup s = startup();
        const int code = runConfigurator(*qApp, s);
        fakes.install();
        QCOMPARE(code, 0);
        QVERIFY(!s.reachedEventLoop);
        QCOMPARE(notices.size(), shown);
    }

    void firstCopy_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("withFont");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("exitText");
        QTest::addColumn<QString>("folderText"); // misspelt key, corrected for English readers
        QTest::newRow("Chinese, no font")
            << QLocale(QLocale::Chinese, QLocale::China) << false << "zh" << QStringLiteral("退出")
            << QStringLiteral("打开文件夹");
    }
    void firstCopy()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, withFont);
        QFETCH(QString, code);
        QFETCH(QString, exitText);
        QFETCH(QString, folderText);
        if (withFont && !QFile::exists(font))
            QSKIP("the built font is not there (VELKO_BIN_DIR)");
        QLocale::setDefault(locale);
        ConfiguratorStartup s = startup(withFont);
        LogCapture log;
        QString seenCode, seenText, seenFolder;
        QTimer::singleShot(0, qApp, [&] {
            seenCode = appenv::languageCode();
            seenText = QCoreApplication::translate("main", "exit");
            seenFolder = QCoreApplication::translate("MouseKeyPress", "Open floder");
            QCoreApplication::exit(0);
        });
        QCOMPARE(runConfigurator(*qApp, s), 0);
        QVERIFY(s.reachedEventLoop);
        QVERIFY(notices.isEmpty());
        QCOMPARE(seenCode, code);
        QCOMPARE(seenText, exitText);
        QCOMPARE(seenFolder, folderText);
        QCOMPARE(QCoreApplication::translate("main", "exit"), QStringLiteral("exit"));
        QCOMPARE(log.contains("font not registered"), !withFont);
        if (withFont)
            QVERIFY(QGuiApplication::font().families().contains("WenQuanYi Micro Hei"));
        // The main page asked for the agent, which is not in this folder.
        QVERIFY(log.contains(QStringLiteral("启动进程失败")));
    }

    void closeRequestClosesTheAgentAndEnds()
    {
        ConfiguratorStartup s = startup();
        bool closed = false;
        QTimer::singleShot(0, qApp, [&] {
            fake::FakeMessageWindow *window =
                fake::FakeWindowDirectory::find(kConfiguratorWindowTitle);
            closed = window && window->close();
        });
        QTimer guard; // ends a loop that the request did not end
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(3); });
        guard.start(5000);
        fakes.windows->requests.clear();
        QCOMPARE(runConfigurator(*qApp, s), 0);
        QVERIFY(closed);
        QCOMPARE(fakes.windows->requests.size(), std::size_t(1));
        QCOMPARE(fakes.windows->requests[0].title, std::string("VelkoOptions"));
    }

    // Started at log-in the window stays hidden while a tray can bring it back; the
    // agent is started either way.
    void quietStartHidesTheWindow_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("visible");
        QTest::newRow("started by the user") << false << true << true;
        QTest::newRow("at log-in") << true << true << false;
        QTest::newRow("at log-in, no tray") << true << false << true;
    }
    void quietStartHidesTheWindow()
    {
        QFETCH(bool, quiet);
        QFETCH(bool, tray);
        QFETCH(bool, visible);
        ConfiguratorPlatform services = fakes.platform();
        services.quietStart = quiet;
        services.trayAvailable = [tray] { return tray; };
        ConfiguratorPlatform::install(services);
        ConfiguratorStartup s = startup();
        LogCapture log;
        bool shown = !visible;
        QTimer::singleShot(0, qApp, [&] {
            const QWindowList windows = QGuiApplication::topLevelWindows();
            shown = std::any_of(windows.begin(), windows.end(),
                                [](QWindow *w) { return w->isVisible(); });
            QCoreApplication::exit(0);
        });
        QCOMPARE(runConfigurator(*qApp, s), 0);
        fakes.install();
        QCOMPARE(shown, visible);
        QVERIFY(log.contains(QStringLiteral("启动进程失败"))); // the agent start was tried
    }

    void unloadableMainPageEndsWithAnError()
    {
        ConfiguratorStartup s = startup();
        s.mainPage = QUrl::fromLocalFile(folder->filePath("missing.qml"));
        LogCapture log;
        qmlgate::Expected missing;
        QCOMPARE(runConfigurator(*qApp, s), 1);
        QVERIFY(!s.reachedEventLoop);
        QVERIFY(log.contains("the main page could not be loaded"));
    }

};

QTEST_MAIN(TestConfiguratorApp)
#include "tst_configuratorapp.moc"
