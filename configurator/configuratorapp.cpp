#include "configuratorapp.h"

#include "appenv.h"
#include "applicationfont.h"
#include "checkprocess.h"
#include "configuratorplatform.h"
#include "instance_lock.h"
#include "languagecode.h"
#include "typeregistry.h"

#include <QApplication>
#include <QDebug>
#include <QLocale>
#include <QMessageBox>
#include <QOpenGLContext>
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

int runConfigurator(QApplication &app, ConfiguratorStartup &startup)
{
    initConfiguratorResources();

    // Installed first so that the notice for a second copy is translated as well.
    QTranslator translator;
    const QLocale locale;
    const bool chinese = loadChineseTranslation(translator, locale);
    if (chinese || loadEnglishCorrections(translator, locale))
        app.installTranslator(&translator);

    if (startup.instanceLock->acquire(kConfiguratorInstanceLock) ==
        platform::LockResult::AlreadyHeld) {
        startup.showNotice(QApplication::tr("Tip"), QApplication::tr("Program hasbeen running!"));
        app.removeTranslator(&translator);
        return 0;
    }
    if (chinese)
        appenv::setLanguageCode(QStringLiteral("zh"));

    applyApplicationFont(appenv::applicationDir() + QStringLiteral("/font/") +
                         QLatin1String(kFontFileName));

    registerConfiguratorTypes();

    // Without OpenGL (no driver, a remote or virtual display) the pages are drawn
    // in software rather than not at all. Where software drawing was asked for
    // (QT_QUICK_BACKEND=software) the probe is skipped: it would load the OpenGL
    // driver for nothing, tens of megabytes.
    const bool softwareAsked =
        QQuickWindow::sceneGraphBackend() == QLatin1String("software") ||
        qEnvironmentVariable("QT_QUICK_BACKEND") == QLatin1String("software");
    QOpenGLContext probe;
    if (!softwareAsked && !probe.create()) {
        qDebug() << "OpenGL not available: the pages are drawn in software";
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    }

    int code = 1;
    {
        QQmlApplicationEngine engine;
        engine.load(startup.mainPage);
        if (engine.rootObjects().isEmpty()) {
            qWarning() << "VelkoOptionsGUI: the main page could not be loaded:"
                       << startup.mainPage.toString();
        } else {
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
            startup.reachedEventLoop = true;
            if (startup.mainPageLoaded)
                startup.mainPageLoaded(engine.rootObjects().first());
            code = QApplication::exec();
        }
    }
    app.removeTranslator(&translator);
    return code;
}
