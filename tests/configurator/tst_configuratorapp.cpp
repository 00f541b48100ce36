// The configurator's start-up: one copy per user, the translation and the
// language code, the font, the page types under their modules, the main page.
#include "appenv.h"
#include "checkprocess.h"
#include "configuratorapp.h"
#include "fake_instance_lock.h"
#include "fakeservices.h"
#include "languagecode.h"
#include "openbluetooth.h"
#include "typeregistry.h"

#include <QtTest>

#include <QApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTranslator>

namespace {

struct Notice
{
    QString title;
    QString text;
};

// A start-up whose notices are recorded instead of shown.
ConfiguratorStartup recordingStartup(std::unique_ptr<platform::InstanceLock> lock,
                                     std::vector<Notice> &notices)
{
    ConfiguratorStartup s = ConfiguratorStartup::native();
    s.instanceLock = std::move(lock);
    s.showNotice = [&notices](const QString &title, const QString &text) {
        notices.push_back({title, text});
    };
    return s;
}

// The source folder's font, as the build puts it beside the program.
QString fontSource()
{
    return qEnvironmentVariable("VELKO_BIN_DIR") + QStringLiteral("/font/") +
           QLatin1String(kFontFileName);
}

} // namespace

class TestConfiguratorApp : public QObject
{
    Q_OBJECT

private:
    FakeServices fakes;
    std::unique_ptr<QTemporaryDir> folder;

    // An application folder, with the font when `withFont`.
    void makeFolder(bool withFont)
    {
        folder = std::make_unique<QTemporaryDir>();
        if (withFont) {
            QDir(folder->path()).mkpath("font");
            QFile::copy(fontSource(), folder->filePath(QStringLiteral("font/") + kFontFileName));
        }
        appenv::setApplicationDir(folder->path());
    }

    // Runs a first copy until its event loop has run `during` once.
    int runFirstCopy(ConfiguratorStartup &startup, const std::function<void()> &during)
    {
        QTimer::singleShot(0, qApp, [during] {
            during();
            QCoreApplication::exit(0);
        });
        return runConfigurator(*qApp, startup);
    }

private slots:
    void initTestCase()
    {
        initConfiguratorResources();
        fakes.install();
    }

    void cleanup()
    {
        appenv::setApplicationDir(QString());
        appenv::setLanguageCode(QStringLiteral("en"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        folder.reset();
    }

    void cleanupTestCase() { ConfiguratorPlatform::installNative(); }

    void resourcesAreCompiledIn_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("main page") << ":/main.qml";
        QTest::newRow("icon") << ":/images/app.ico";
        QTest::newRow("font") << QStringLiteral(":/font/") + kFontFileName;
        QTest::newRow("catalogue") << "://VelkoOptions_zh_CN.qm";
    }
    void resourcesAreCompiledIn()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.size() > 0);
    }

    void typesAreRegisteredInTheirOrder()
    {
        // The full order in which the pages expect their types.
        const QStringList order{
            "Model.QX.CheckProcess/CheckProcess",
            "Model.QX.PairDoWork/PairDoWork",
            "Model.QX.OpenBluetooth/OpenBluetooth",
            "Account.Manager.LoginAccount/LoginAccount",
            "Account.Manager.RegisterAccount/RegisterAccount",
            "Account.Manager.UpdatePasswdAccount/UpdatePasswdAccount",
            "Account.Manager.FindPasswd/FindPasswd",
            "Account.Manager.ValidatePassword/ValidatePassword",
            "Account.Manager.NewPassword/NewPassword",
            "Account.Manager.SaveConfigInfo/SaveConfigInfo",
            "Account.Manager.GetDriverConf/GetDriverConf",
            "Operate.Conf.OpFunConfFile/OpFunConfFile",
            "Operate.Conf.OperateToken/OperateToken",
            "Account.Manager.GetSoftwareVersion/GetSoftwareVersion",
            "an.utility/MyMenu",
            "an.utility/MyAction",
            "an.utility/MySeparator",
            "an.utility/SystemTrayIcon",
        };
        QStringList seen;
        for (const QmlTypeEntry &entry : configuratorTypes())
            seen << QStringLiteral("%1/%2").arg(entry.uri, entry.name);
        QCOMPARE(seen, order);
    }

    void typesAreCreatableUnderTheirModules_data()
    {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("name");
        for (const QmlTypeEntry &entry : configuratorTypes())
            QTest::newRow(entry.name) << QString(entry.uri) << QString(entry.name);
    }
    void typesAreCreatableUnderTheirModules()
    {
        QFETCH(QString, uri);
        QFETCH(QString, name);
        makeFolder(false);
        registerConfiguratorTypes();
        QQmlEngine engine;
        QQmlComponent component(&engine);
        component.setData(QStringLiteral("import %1 1.0\n%2 {}\n").arg(uri, name).toUtf8(), QUrl());
        std::unique_ptr<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));
        QCOMPARE(QString(object->metaObject()->className()), name);
    }

    void secondCopyShowsTheNoticeAndEnds()
    {
        platform::fake::FakeInstanceLock first;
        QCOMPARE(first.acquire(kConfiguratorInstanceLock), platform::LockResult::Acquired);
        std::vector<Notice> notices;
        ConfiguratorStartup startup =
            recordingStartup(std::make_unique<platform::fake::FakeInstanceLock>(), notices);
        QCOMPARE(runConfigurator(*qApp, startup), 0);
        QCOMPARE(int(notices.size()), 1);
        QCOMPARE(notices[0].title, QStringLiteral("Tip"));
        QCOMPARE(notices[0].text, QStringLiteral("Program hasbeen running!"));
        QVERIFY(!startup.reachedEventLoop);
        // The first copy keeps its lock.
        QVERIFY(platform::fake::FakeInstanceLock::isHeld(kConfiguratorInstanceLock));
    }

    void secondCopyBesideARunningConfigurator()
    {
        const QString gui =
            qEnvironmentVariable("VELKO_BIN_DIR") + QStringLiteral("/VelkoOptionsGUI");
        if (!QFile::exists(gui))
            QSKIP("the built configurator is not there (VELKO_BIN_DIR)");
        // The first copy runs from a folder without an agent.
        QTemporaryDir firstFolder;
        QVERIFY(QFile::copy(gui, firstFolder.filePath("VelkoOptionsGUI")));
        QProcess first;
        first.setProcessChannelMode(QProcess::MergedChannels);
        first.start(firstFolder.filePath("VelkoOptionsGUI"), QStringList());
        QVERIFY(first.waitForStarted());
        // It has passed its single-instance check once its page asked for the agent.
        QByteArray output;
        QDeadlineTimer deadline(30000);
        while (!output.contains("Get current system version") && !deadline.hasExpired() &&
               first.state() == QProcess::Running) {
            first.waitForReadyRead(100);
            output += first.readAll();
        }
        QVERIFY2(output.contains("Get current system version"), output.constData());

        std::vector<Notice> notices;
        ConfiguratorStartup startup = recordingStartup(platform::createInstanceLock(), notices);
        QCOMPARE(runConfigurator(*qApp, startup), 0);
        QCOMPARE(int(notices.size()), 1);
        QCOMPARE(notices[0].text, QStringLiteral("Program hasbeen running!"));
        // The first copy is not disturbed.
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        first.waitForFinished(5000);

        // Once it is gone, a copy starts normally.
        std::vector<Notice> none;
        ConfiguratorStartup again = recordingStartup(platform::createInstanceLock(), none);
        makeFolder(true);
        QCOMPARE(runFirstCopy(again, [] {}), 0);
        QVERIFY(again.reachedEventLoop);
        QVERIFY(none.empty());
    }

    void languageAndTranslation_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("exitText");
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "en"
                                 << "exit";
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "en"
                                << "exit";
        QTest::newRow("Chinese") << QLocale(QLocale::Chinese, QLocale::China) << "zh"
                                 << QStringLiteral("退出");
        QTest::newRow("Chinese, Taiwan")
            << QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan) << "zh"
            << QStringLiteral("退出");
    }
    void languageAndTranslation()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, code);
        QFETCH(QString, exitText);
        makeFolder(true);
        QLocale::setDefault(locale);
        std::vector<Notice> notices;
        ConfiguratorStartup startup =
            recordingStartup(std::make_unique<platform::fake::FakeInstanceLock>(), notices);
        QString seenCode, seenText;
        QCOMPARE(runFirstCopy(startup,
                              [&] {
                                  seenCode = appenv::languageCode();
                                  seenText = QCoreApplication::translate("main", "exit");
                              }),
                 0);
        QCOMPARE(seenCode, code);
        QCOMPARE(seenText, exitText);
        // The translator ends with the run.
        QCOMPARE(QCoreApplication::translate("main", "exit"), QStringLiteral("exit"));
    }

    void fontIsRegisteredFromTheProgramFolder_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("font beside the program") << true;
        QTest::newRow("font missing") << false;
    }
    void fontIsRegisteredFromTheProgramFolder()
    {
        QFETCH(bool, present);
        if (present && !QFile::exists(fontSource()))
            QSKIP("the built font is not there (VELKO_BIN_DIR)");
        makeFolder(present);
        std::vector<Notice> notices;
        ConfiguratorStartup startup =
            recordingStartup(std::make_unique<platform::fake::FakeInstanceLock>(), notices);
        LogCapture log;
        QCOMPARE(runFirstCopy(startup, [] {}), 0);
        QVERIFY(startup.reachedEventLoop);
        QCOMPARE(log.contains("font not registered"), !present);
    }

    void mainPageStartsTheAgentCheck()
    {
        makeFolder(false);
        std::vector<Notice> notices;
        ConfiguratorStartup startup =
            recordingStartup(std::make_unique<platform::fake::FakeInstanceLock>(), notices);
        LogCapture log;
        QCOMPARE(runFirstCopy(startup, [] {}), 0);
        // No agent in this folder: the page's check reported it missing.
        QVERIFY(log.contains(QStringLiteral("启动进程失败")));
        QVERIFY(fakes.processes->queryCount() > 0);
    }

    void unloadableMainPageEndsWithAnError()
    {
        makeFolder(false);
        QFile broken(folder->filePath("broken.qml"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("import QtQuick 2.15\nItem { this is not QML }\n");
        broken.close();
        std::vector<Notice> notices;
        ConfiguratorStartup startup =
            recordingStartup(std::make_unique<platform::fake::FakeInstanceLock>(), notices);
        startup.mainPage = QUrl::fromLocalFile(broken.fileName());
        LogCapture log;
        QCOMPARE(runConfigurator(*qApp, startup), 1);
        QVERIFY(!startup.reachedEventLoop);
        QVERIFY(log.contains("the main page could not be loaded"));
    }

    void chineseCatalogueLoadsOnlyForChinese()
    {
        QTranslator translator;
        QVERIFY(!loadChineseTranslation(translator, QLocale(QLocale::French, QLocale::France)));
        QVERIFY(translator.isEmpty());
        QVERIFY(loadChineseTranslation(translator, QLocale(QLocale::Chinese, QLocale::China)));
        QCOMPARE(translator.translate("main", "show"), QStringLiteral("显示"));
    }

    void bluetoothWizardIsOpened()
    {
        OpenBluetooth bluetooth;
        const int before = fakes.wizard->openCount();
        bluetooth.OpenBthprops();
        bluetooth.OpenBthprops();
        QCOMPARE(fakes.wizard->openCount(), before + 2);
    }
};

QTEST_MAIN(TestConfiguratorApp)
#include "tst_configuratorapp.moc"
