#include "agentapp.h"

#include "agentplatform.h"
#include "appenv.h"
#include "hooksource.h"
#include "inputsources.h"
#include "mainwindow.h"
#include "operateini.h"
#include "simulatedmouseserver.h"
#include "termination.h"
#include "usbdriver.h"

#include <QCoreApplication>
#include <QDebug>

const char kAgentWindowTitle[] = "VelkoOptions";
const char kAgentInstanceLock[] = "VelkoOptions";

void prepareAgentProcess()
{
    qputenv("QT_NO_GLIB", "1");
}

int runAgent(AgentPlatform &platform)
{
    const platform::LockResult lock = platform.instanceLock->acquire(kAgentInstanceLock);
    if (lock == platform::LockResult::AlreadyHeld)
        return 0;
    // No other agent of this user runs now: copies of the settings left in the
    // temporary folder belong to runs that could not tidy up.
    if (lock == platform::LockResult::Acquired)
        OperateIni::removeLeftSnapshotFolders();

    auto window = std::make_unique<MainWindow>(platform);
    auto driver = std::make_unique<USBDriver>(*platform.filterDevice);
    HookSource hook(*platform.mouseHook);
    QObject::connect(&hook, &HookSource::mouseClicked, driver.get(), &USBDriver::slot_mouseClicked);
    InputSources sources(*driver, hook);
    sources.start();
    driver->start(QThread::InheritPriority);
    window->hide();

    std::unique_ptr<SimulatedMouseServer> mouseServer;
    if (platform.simulatedMouse) {
        mouseServer = std::make_unique<SimulatedMouseServer>(*platform.simulatedMouse);
        mouseServer->listen(SimulatedMouseServer::socketName(appenv::applicationDir()));
    }

    // A session that ends, or a terminal, asks the agent to end: it closes as when
    // the configurator asks, putting away its private copy of the settings.
    const auto termination = platform::watchTerminationRequests([] {
        qDebug() << "asked by the system to end";
        QCoreApplication::quit();
    });
    const int code = QCoreApplication::exec();
    mouseServer.reset();

    sources.stop();
    driver->stop();
    const bool finished = driver->wait(3000);
    qDebug() << "正常退出";

    if (finished) {
        driver.reset();
    } else {
        // Destroying a running QThread aborts the process. The thread only ever
        // waits on the driver, so leave its object to the process's end.
        qWarning() << "USBDriver: thread still running after 3000 ms; left to process exit";
        (void)driver.release();
    }
    window.reset();
    return code;
}
