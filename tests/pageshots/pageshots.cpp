// Saves a picture of every page of the configurator's window, driven on the fake
// platform with a simulated receiver: velko_page_shots <folder> [prefix]. The
// language is the system's (LANGUAGE/LC_ALL), as in the configurator.
#include "appenv.h"
#include "configuratorapp.h"
#include "fakeservices.h"
#include "typeregistry.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLocale>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

struct Shooter
{
    QString folder;
    QString prefix;
    FakeServices fakes;
    std::unique_ptr<fake::FakeReceiver> receiver = fakes.makeReceiver();
    std::unique_ptr<QTemporaryDir> appDir;
    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QObject> root;
    int saved = 0;

    QObject *find(const char *name) const { return root->findChild<QObject *>(name); }
    QQuickWindow *window() const { return qobject_cast<QQuickWindow *>(root.get()); }
    QString page() const { return find("navigator")->property("page").toString(); }

    void shot(const QString &name)
    {
        QTest::qWait(150);
        const QString path = QDir(folder).filePath(prefix + name + ".png");
        if (window()->grabWindow().save(path)) {
            ++saved;
            std::printf("%s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "not saved: %s\n", qPrintable(path));
        }
    }
    void start(bool present, const QString &model, const QMap<QString, QString> &stored = {},
               const std::function<void()> &duringSplash = {})
    {
        root.reset();
        engine.reset();
        fakes.hid->clear();
        appDir = std::make_unique<QTemporaryDir>();
        appenv::setApplicationDir(appDir->path());
        if (!model.isEmpty())
            QSettings(appenv::mainSettingsPath(), QSettings::IniFormat)
                .setValue("SET/mouse", model);
        QSettings modelIni(appenv::modelSettingsPath(model.isEmpty() ? "QX210" : model),
                           QSettings::IniFormat);
        for (auto it = stored.begin(); it != stored.end(); ++it)
            modelIni.setValue(it.key(), it.value());
        modelIni.sync();
        if (present)
            fake::addReceiverDevice(*fakes.hid, receiver.get(), 0x1812);
        if (duringSplash)
            QTimer::singleShot(400, duringSplash);
        engine = std::make_unique<QQmlEngine>();
        QQmlComponent component(engine.get(), QUrl("qrc:/main.qml"));
        root.reset(component.create());
        if (!root) {
            std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
            std::exit(1);
        }
        if (!QTest::qWaitFor([this] { return page() != "splash"; }, 10000))
            std::fprintf(stderr, "the splash stayed\n");
        QTest::qWait(100);
    }
    void logic(const char *state)
    {
        QMetaObject::invokeMethod(root.get(), "onLogic", Q_ARG(QVariant, QString(state)));
    }
    void pick(const char *pageName, int index)
    {
        QObject *p = find(pageName);
        QVariant name;
        QMetaObject::invokeMethod(p, "getIndexName", Q_RETURN_ARG(QVariant, name),
                                  Q_ARG(QVariant, index));
        if (QByteArray(pageName).contains("Wheel")) {
            QMetaObject::invokeMethod(p, "wheelIsSelectItem", Q_ARG(QVariant, index));
            QMetaObject::invokeMethod(p, "sigSelIssue", Q_ARG(int, index),
                                      Q_ARG(QString, name.toString()));
        } else {
            QMetaObject::invokeMethod(p, "keyIsSelectItem", Q_ARG(QVariant, index),
                                      Q_ARG(QVariant, QString()));
            QMetaObject::invokeMethod(p, "sigSelItemIndex", Q_ARG(int, index),
                                      Q_ARG(QString, name.toString()));
        }
    }
    void openList(const char *action)
    {
        QMetaObject::invokeMethod(find("connectDevice"), "sigActionClicked",
                                  Q_ARG(QString, QString(action)));
    }

    void run()
    {
        start(false, "QX210", {}, [this] { shot("01-splash"); });
        shot("02-no-device");
        logic("DisconnPair");
        shot("03-pairing-preparation");

        start(true, QString());
        shot("04-model-choice");
        find("chooseVersion")->setProperty("selectedModel", "QX460");
        QMetaObject::invokeMethod(find("chooseVersion"), "sigVersionClicked",
                                  Q_ARG(QString, "version_confirm"));
        shot("05-model-confirmation");

        const QMap<QString, QString> config{{"SET/Mid_key", "Copy-12-midKey"},
                                            {"SET/Mid_wheel", "Volume control-0-midWheel"},
                                            {"SET/Side_wheel", "Scroll horizontally-1-slideWheel"},
                                            {"SET/Side_upkey", "Forward-36-slideUpKey"},
                                            {"SET/Right_key", "Open Web page-1-rightKey"},
                                            {"PATH/right_web_url", "https://example.com"}};
        start(true, "QX210", config);
        shot("06-home-8-keys");
        openList("right_key_press");
        shot("07-list-with-detail-panel");
        QMetaObject::invokeMethod(root.get(), "closeList");
        openList("side_wheel");
        shot("08-side-wheel-list");
        QMetaObject::invokeMethod(root.get(), "closeList");
        logic("default_set");
        shot("09-restore-defaults");
        QMetaObject::invokeMethod(find("restoreBox"), "sigCancleClicked");
        logic("QXAbout");
        shot("10-about");
        logic("hide_about");
        logic("QXPair");
        logic("enterSuccess");
        shot("11-pairing");
        logic("pairSuccess");
        shot("12-paired");
        if (!QTest::qWaitFor([this] { return page() == "connect"; }, 3000))
            std::fprintf(stderr, "pairing did not return home\n");
        logic("QXPair");
        logic("enterFailure");
        shot("13-pairing-not-entered");

        start(true, "QX330",
              {{"SET/Mid_key", "Copy-12-midKey"}, {"SET/Side_downkey", "Paste-14-slideDownKey"}});
        shot("14-home-7-keys");
        openList("mid_key_press");
        pick("midKeyPage", 6);
        shot("15-pointer-speed-panel");

        // The account: signed out, the log-in pop-up; signed in, sync and account page.
        start(true, "QX210", config);
        QMetaObject::invokeMethod(find("connectDevice"), "f_showLogin");
        shot("16-login");
        if (QObject *popup = find("popup"))
            popup->setProperty("page", "register");
        shot("17-register");
        QMetaObject::invokeMethod(find("connectDevice"), "f_signState", Q_ARG(QVariant, "sign_in"),
                                  Q_ARG(QVariant, "Ann"));
        QMetaObject::invokeMethod(find("connectDevice"), "sigSyncRequested");
        shot("18-sync-panel");
        QMetaObject::invokeMethod(find("syncCover"), "close");
        logic("sign_in_clicked");
        shot("19-account-page");
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: velko_page_shots <folder> [prefix]\n");
        return 2;
    }
    initConfiguratorResources();
    QTranslator translator;
    const QLocale locale;
    if (loadChineseTranslation(translator, locale) || loadEnglishCorrections(translator, locale))
        app.installTranslator(&translator);
    QFontDatabase::addApplicationFont(QCoreApplication::applicationDirPath() + "/font/" +
                                      kFontFileName);
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    appenv::setWindowsVersionClass("win10");
    Shooter shooter;
    shooter.folder = QString::fromLocal8Bit(argv[1]);
    shooter.prefix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(shooter.folder);
    shooter.fakes.install();
    registerConfiguratorTypes();
    shooter.run();
    shooter.root.reset();
    shooter.engine.reset();
    ConfiguratorPlatform::installNative();
    return shooter.saved == 19 ? 0 : 1;
}
