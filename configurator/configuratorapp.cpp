#include "configuratorapp.h"

#include "appenv.h"
#include "checkprocess.h"
#include "configuratorplatform.h"
#include "instance_lock.h"
#include "languagecode.h"
#include "typeregistry.h"

#include <QApplication>
#include <QDebug>
#include <QFontDatabase>
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

int runConfigurator(QApplication &app, ConfiguratorStartup &startup)
{
    initConfiguratorResources();

    if (startup.instanceLock->acquire(kConfiguratorInstanceLock) ==
        platform::LockResult::AlreadyHeld) {
        startup.showNotice(QApplication::tr("Tip"), QApplication::tr("Program hasbeen running!"));
        return 0;
    }

    QTranslator translator;
    const QLocale locale;
    if (loadChineseTranslation(translator, locale)) {
        appenv::setLanguageCode(QStringLiteral("zh"));
        app.installTranslator(&translator);
    }

    const QString fontPath =
        appenv::applicationDir() + QStringLiteral("/font/") + QLatin1String(kFontFileName);
    if (QFontDatabase::addApplicationFont(fontPath) < 0)
        qDebug() << "font not registered:" << fontPath;

    registerConfiguratorTypes();

    // Without OpenGL (no driver, a remote or virtual display) the pages are drawn
    // in software rather than not at all.
    QOpenGLContext probe;
    if (!probe.create()) {
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
                ConfiguratorPlatform::current().createMessageWindow();
            exitWindow->setCloseHandler([] {
                CheckProcess agent;
                agent.CloseVelkoOptions();
                QCoreApplication::exit(0);
            });
            if (!exitWindow->create(kConfiguratorWindowTitle))
                qWarning() << "VelkoOptionsGUI: no window for close requests";
            startup.reachedEventLoop = true;
            code = QApplication::exec();
        }
    }
    app.removeTranslator(&translator);
    return code;
}
