// Saves a picture of every page of the configurator's window, driven on the fake
// platform with a simulated receiver: velko_page_shots <folder> [prefix]. The
// language is the system's (LANGUAGE/LC_ALL), as in the configurator.
#include "appenv.h"
#include "applicationfont.h"
#include "configuratorapp.h"
#include "mainpagehost.h"
#include "qmlwarninggate.h"
#include "typeregistry.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// Texts that do not fit: a text wider or taller than its item when it neither
// elides nor shrinks, or one that reaches past the window's edge (inside a view
// that clips, as a scrolled list does, only the first).
QStringList clippedTexts(QQuickItem *item, const QRectF &window, bool scrolled = false)
{
    QStringList found;
    if (!item->isVisible() || qFuzzyIsNull(item->opacity()))
        return found;
    if (item->inherits("QQuickText")) {
        const QString text = item->property("text").toString();
        const bool elides = item->property("elide").toInt() != Qt::ElideNone;
        const bool shrinks = item->property("fontSizeMode").toInt() != 0;
        const QSizeF content(item->property("contentWidth").toReal(),
                             item->property("contentHeight").toReal());
        const QRectF box = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
        const bool overflows = !elides && !shrinks &&
                               (content.width() > item->width() + 1 ||
                                content.height() > item->height() + 1);
        const bool outside = !scrolled && !window.contains(box.adjusted(1, 1, -1, -1));
        if (!text.isEmpty() && (overflows || outside))
            found << QStringLiteral("\"%1\" (%2x%3 in %4x%5)")
                         .arg(text.simplified())
                         .arg(content.width())
                         .arg(content.height())
                         .arg(item->width())
                         .arg(item->height());
    }
    for (QQuickItem *child : item->childItems())
        found << clippedTexts(child, window, scrolled || item->clip());
    return found;
}

struct Shooter : MainPageHost
{
    QString outFolder;
    QString prefix;
    int saved = 0;
    int clipped = 0;

    void shot(const QString &name)
    {
        QTest::qWait(150);
        const QRectF whole(QPointF(0, 0), window()->size());
        for (const QString &text : clippedTexts(window()->contentItem(), whole)) {
            std::fprintf(stderr, "%s: text does not fit: %s\n", qPrintable(prefix + name),
                         qPrintable(text));
            ++clipped;
        }
        const QString path = QDir(outFolder).filePath(prefix + name + ".png");
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
        newFolder();
        writeIni(appenv::modelSettingsPath(model.isEmpty() ? "QX210" : model), stored);
        if (duringSplash)
            QTimer::singleShot(400, duringSplash);
        if (!MainPageHost::start(present, model.isEmpty() ? "NULL" : model)) {
            if (!root)
                std::exit(1);
            std::fprintf(stderr, "the splash stayed\n");
        }
        QTest::qWait(100);
    }
    void pick(const char *pageName, int index) // a key list's, marked as a click marks it
    {
        QMetaObject::invokeMethod(find(pageName), "keyIsSelectItem", Q_ARG(QVariant, index),
                                  Q_ARG(QVariant, QString()));
        MainPageHost::pick(pageName, index);
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
        QMetaObject::invokeMethod(find("updatePrompt"), "versionAnswered", Q_ARG(int, 0),
                                  Q_ARG(QString, "https://example.com/velko-options"));
        shot("20-update-prompt");

        // Program sets: a program added, its list, the offer of open programs, and the
        // restore question.
        fakes.programs->setOpenPrograms({{"gimp", "GNU Image Manipulation Program", roundIcon(0xff3d8b5a)},
                                         {"firefox-esr", "Firefox", roundIcon(0xffe06a2c)},
                                         {"xterm", "", {}}});
        start(true, "QX210", config);
        QObject *selector = find("programSelector");
        QMetaObject::invokeMethod(selector, "refreshCandidates");
        int section = 0;
        QMetaObject::invokeMethod(selector, "addProgram", Q_RETURN_ARG(int, section),
                                  Q_ARG(QString, "gimp"), Q_ARG(QString, "GNU Image Manipulation Program"));
        pick("sideUpKeyPage", 12);
        openList("mid_key_press");
        shot("21-program-set-list");
        QMetaObject::invokeMethod(root.get(), "closeList");
        QMetaObject::invokeMethod(find("programBar"), "openAddMenu");
        shot("22-add-program");
        QMetaObject::invokeMethod(find("addProgramPopup"), "close");
        logic("default_set");
        shot("23-restore-program-set");
    }
    // A filled circle as a program's icon.
    static platform::ProgramIcon roundIcon(std::uint32_t argb)
    {
        platform::ProgramIcon icon{32, 32, std::vector<std::uint32_t>(32 * 32, 0u)};
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if ((x - 15.5) * (x - 15.5) + (y - 15.5) * (y - 15.5) <= 14 * 14)
                    icon.argb[size_t(y * 32 + x)] = argb;
        return icon;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    qmlgate::install(); // a QML warning fails the run
    if (argc < 2) {
        std::fprintf(stderr, "usage: velko_page_shots <folder> [prefix]\n");
        return 2;
    }
    initConfiguratorResources();
    QTranslator translator;
    const QLocale locale;
    if (loadChineseTranslation(translator, locale) || loadEnglishCorrections(translator, locale))
        app.installTranslator(&translator);
    applyApplicationFont(QCoreApplication::applicationDirPath() + "/font/" + kFontFileName);
    chooseSceneGraphBackend(); // as the configurator draws; QT_QUICK_BACKEND=opengl to compare
    appenv::setWindowsVersionClass("win10");
    Shooter shooter;
    shooter.outFolder = QString::fromLocal8Bit(argv[1]);
    shooter.prefix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(shooter.outFolder);
    shooter.fakes.install();
    registerConfiguratorTypes();
    shooter.run();
    shooter.root.reset();
    shooter.engine.reset();
    ConfiguratorPlatform::installNative();
    if (qmlgate::count().loadAcquire() > 0)
        std::fprintf(stderr, "QML warnings: %d\n", qmlgate::count().loadAcquire());
    return shooter.saved == 23 && shooter.clipped == 0 && qmlgate::count().loadAcquire() == 0 ? 0 : 1;
}
