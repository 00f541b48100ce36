#include "configuratorapp.h"

#include "appenv.h"
#include "applicationfont.h"
#include "checkprocess.h"
#include "configuratorplatform.h"
#include "instance_lock.h"
#include "languagecode.h"
#include "runningcopy.h"
#include "settingschanges.h"
#include "termination.h"
#include "typeregistry.h"

#include <QApplication>
#include <QDebug>
#include <QLocale>
#include <QMessageBox>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QQmlApplicationEngine>
#include <QTranslator>

const char kConfiguratorInstanceLock[] = "onlyApplication";
const char kFontFileName[] = "WenQuanYi-MicroHei-Subset.ttf";
const char kConfiguratorWindowTitle[] = "VelkoOptionsGUI";

ConfiguratorStartup ConfiguratorStartup::native()
{
    ConfiguratorStartup s;
    s.instanceLock = platform::createInstanceLock();
    s.showNotice = [](const QString &title, const QString &text) {
        QMessageBox::information(nullptr, title, text, QMessageBox::Ok, QMessageBox::NoButton);
    };
    s.mainPage = QUrl(QStringLiteral("qrc:/main.qml"));
    s.showChannel = RunningCopy::channelName();
    return s;
}

bool loadChineseTranslation(QTranslator &translator, const QLocale &locale)
{
    if (locale.language() != QLocale::Chinese)
        return false;
    return translator.load(QStringLiteral("://VelkoOptions_zh_CN.qm"), QString(), QString(),
                           QString());
}

bool loadEnglishCorrections(QTranslator &translator, const QLocale &locale)
{
    if (locale.language() == QLocale::Chinese)
        return false;
    return translator.load(QStringLiteral("://VelkoOptions_en.qm"), QString(), QString(),
                           QString());
}

void chooseGuiPlatform()
{
    // Qt's own default is X alone, which ends a start in a session without X
    // (a Wayland compositor without Xwayland) before any window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "wayland;xcb");
    // The window is frameless and draws its own title bar. Qt's Wayland client
    // would load the OpenGL driver (Mesa's, some 55 MB) only to learn whether it
    // could draw decorations around it, which the software renderer never needs.
    const bool software = qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") ||
                          qEnvironmentVariable("QT_QUICK_BACKEND") == QLatin1String("software");
    if (software && qEnvironmentVariableIsEmpty("QT_WAYLAND_DISABLE_WINDOWDECORATION"))
        qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
}

void followDesktopScaling()
{
    // The pages are laid out in device-independent pixels; without this Qt 5
    // draws them at their size in device pixels on Windows and X11 whatever the
    // desktop's scaling, a small window on a high-density screen. Whole steps
    // only: 200% doubles the window, 150% leaves it as at 100%, where one half as
    // large again would not fit a small laptop's screen at that scaling, and
    // fractional factors blur the software renderer's lines. Qt's variables
    // (QT_ENABLE_HIGHDPI_SCALING=0, QT_SCALE_FACTOR_ROUNDING_POLICY,
    // QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS) still win.
    QGuiApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR_ROUNDING_POLICY"))
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
            Qt::HighDpiScaleFactorRoundingPolicy::Floor);
}

void chooseSceneGraphBackend()
{
    // The pages are still panels with a few transitions: Qt Quick's software
    // renderer draws them alike at a fraction of the memory, where an OpenGL
    // driver (Mesa's software one above all) costs some 90 MB. A user who wants
    // OpenGL says QT_QUICK_BACKEND=opengl; any other value is Qt's to take.
    const QString asked = qEnvironmentVariable("QT_QUICK_BACKEND");
    if (asked.compare(QLatin1String("opengl"), Qt::CaseInsensitive) == 0)
        qunsetenv("QT_QUICK_BACKEND"); // Qt's own default, OpenGL
    else if (asked.isEmpty())
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
}

void keepNoCompiledPages()
{
    // The pages are compiled into the program; what Qt Quick would still cache
    // (its own controls) is compiled afresh at each start, so that nothing is
    // written to the user's cache folder that an uninstaller would have to find.
    if (qEnvironmentVariableIsEmpty("QML_DISABLE_DISK_CACHE"))
        qputenv("QML_DISABLE_DISK_CACHE", "1");
}

int runConfigurator(QApplication &app, ConfiguratorStartup &startup)
{
    keepNoCompiledPages();
    initConfiguratorResources();

    // Installed first so that the notice for a second copy is translated as well.
    QTranslator translator;
    const QLocale locale;
    const bool chinese = loadChineseTranslation(translator, locale);
    if (chinese || loadEnglishCorrections(translator, locale))
        app.installTranslator(&translator);

    if (startup.instanceLock->acquire(kConfiguratorInstanceLock) ==
        platform::LockResult::AlreadyHeld) {
        // The copy that runs brings its window to the front, with a tray or
        // without; only one that does not answer (an older version) leaves the
        // user with the notice. A start at log-in (the log-in entry beside a
        // session that restored the configurator) leaves the copy as it is.
        if (ConfiguratorPlatform::current().quietStart)
            qDebug() << "VelkoOptionsGUI: started at log-in, and a copy runs already";
        else if (startup.showChannel.isEmpty() || !RunningCopy::askToShow(startup.showChannel))
            startup.showNotice(QApplication::tr("Tip"),
                               QApplication::tr("Program hasbeen running!"));
        app.removeTranslator(&translator);
        return 0;
    }
    if (chinese)
        appenv::setLanguageCode(QStringLiteral("zh"));

    applyApplicationFont(appenv::applicationDir() + QStringLiteral("/font/") +
                         QLatin1String(kFontFileName));

    registerConfiguratorTypes();
    SettingsChanges::instance().setEnabled(true);

    chooseSceneGraphBackend();

    int code = 1;
    {
        QQmlApplicationEngine engine;
        engine.load(startup.mainPage);
        if (engine.rootObjects().isEmpty()) {
            qWarning() << "VelkoOptionsGUI: the main page could not be loaded:"
                       << startup.mainPage.toString();
        } else {
            // A session that ends, or a terminal, asks the configurator to end: it
            // leaves its event loop, so that what it serves (the show channel and
            // its close window, made below) is put away. The agent gets the
            // session's request of its own and stays otherwise, as when the window
            // is closed.
            const auto termination = platform::watchTerminationRequests([] {
                qDebug() << "VelkoOptionsGUI: asked by the system to end";
                QCoreApplication::exit(0);
            });
            // Other programs (the uninstaller above all) end the configurator as
            // "exit" in the tray menu does: a close request to this hidden window
            // closes the agent, then ends the event loop.
            std::unique_ptr<platform::MessageWindow> exitWindow =
                ConfiguratorPlatform::current().createCloseWindow();
            exitWindow->setCloseHandler([] {
                CheckProcess agent;
                agent.CloseVelkoOptions();
                QCoreApplication::exit(0);
            });
            if (!exitWindow->create(kConfiguratorWindowTitle))
                qWarning() << "VelkoOptionsGUI: no window for close requests";
            QObject *root = engine.rootObjects().first();
            RunningCopy runningCopy;
            if (!startup.showChannel.isEmpty())
                runningCopy.serve(startup.showChannel,
                                  [root] { QMetaObject::invokeMethod(root, "showFromTray"); });
            startup.reachedEventLoop = true;
            if (startup.mainPageLoaded)
                startup.mainPageLoaded(engine.rootObjects().first());
            code = QApplication::exec();
        }
    }
    app.removeTranslator(&translator);
    return code;
}
