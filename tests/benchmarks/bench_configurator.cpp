// The configurator's start-up as a person sees it, drawn with the software
// renderer: the time from the start of the program to the first frame of the main
// page, then the resident memory once every page document of the configurator's
// resources has been created as well (so that pages added later are counted).
//
// The program starts itself once more as the configurator and times that
// process from its start (loading included) to the line it prints at its first
// frame. The configurator runs from a private empty folder (it starts no agent
// and writes no settings beside the build) with the simulated receiver.
//
// Usage: velko_configurator_bench   (QT_QPA_PLATFORM defaults to offscreen)
#include "appenv.h"
#include "bench_common.h"
#include "configuratorapp.h"
#include "configuratorplatform.h"
#include "startoptions.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {

using bench::dropMessages;
using bench::residentMemory;

// Creates every page document of the resources but `loaded`; items go into the
// window so that they are drawn. Returns how many were created and failed.
std::pair<int, int> createEveryPage(QQmlEngine &engine, QQuickWindow &window, const QUrl &loaded,
                                    std::vector<QObject *> &keep)
{
    int created = 0, failed = 0;
    QDirIterator it(QStringLiteral(":/"), {QStringLiteral("*.qml")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QUrl url(QStringLiteral("qrc") + path);
        if (path.startsWith(QLatin1String(":/qt-project.org")) || url == loaded)
            continue;
        QQmlComponent component(&engine, url);
        QObject *object = component.create();
        if (!object) {
            ++failed;
            std::fprintf(stderr, "not created: %s\n%s\n", qPrintable(path),
                         qPrintable(component.errorString()));
            continue;
        }
        if (auto *item = qobject_cast<QQuickItem *>(object))
            item->setParentItem(window.contentItem());
        keep.push_back(object);
        ++created;
    }
    return {created, failed};
}

const char kChildOption[] = "--configurator";
const char kFirstFrameLine[] = "first frame of the main page";

// Runs this program as the configurator and relays its lines, the time of the
// first frame from the start of the process put in front of them.
int measureChild(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer sinceStart;
    sinceStart.start();
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kChildOption)});
    qint64 firstFrame = -1;
    QByteArray output;
    while (child.waitForReadyRead(30000) || child.canReadLine()) {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine();
            if (firstFrame < 0 && line.startsWith(kFirstFrameLine))
                firstFrame = sinceStart.elapsed();
            output += line;
        }
    }
    child.waitForFinished(30000);
    output += child.readAll();
    if (firstFrame >= 0)
        std::printf("%s, from the start of the process: %lld ms (goal < 1000 ms)\n",
                    kFirstFrameLine, static_cast<long long>(firstFrame));
    std::fputs(output.constData(), stdout);
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    qputenv("QT_QUICK_BACKEND", "software");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc < 2 || qstrcmp(argv[1], kChildOption) != 0)
        return measureChild(argc, argv);
    qInstallMessageHandler(dropMessages);

    QApplication app(argc, argv);
    QTemporaryDir folder;
    appenv::setApplicationDir(folder.path());
    StartOptions options;
    options.simulatedMouse = true;
    ConfiguratorPlatform::install(ConfiguratorPlatform::forOptions(options));

    ConfiguratorStartup startup = ConfiguratorStartup::native();
    std::vector<QObject *> pages;
    startup.mainPageLoaded = [&](QObject *root) {
        auto *window = qobject_cast<QQuickWindow *>(root);
        if (!window) {
            std::printf("the main page is not a window\n");
            QTimer::singleShot(0, &app, [] { QApplication::exit(1); });
            return;
        }
        auto first = std::make_shared<QMetaObject::Connection>();
        *first = QObject::connect(window, &QQuickWindow::frameSwapped, window, [&, window, first] {
            QObject::disconnect(*first);
            std::printf("%s, from main(): %lld ms\n", kFirstFrameLine,
                        static_cast<long long>(sinceStart.elapsed()));
            std::fflush(stdout);
            const std::pair<int, int> count =
                createEveryPage(*qmlEngine(window), *window, startup.mainPage, pages);
            const int created = count.first, failed = count.second;
            window->update();
            // Read the memory after the frame that draws them all.
            QObject::connect(window, &QQuickWindow::frameSwapped, &app, [&, created, failed] {
                std::printf("pages created besides the main page: %d (%d failed)\n", created,
                            failed);
                std::printf("resident memory with every page (VmRSS): %s (goal < 80 MB)\n",
                            qPrintable(residentMemory()));
                std::fflush(stdout);
                QApplication::exit(failed == 0 ? 0 : 1);
            });
        });
    };
    const int code = runConfigurator(app, startup);
    for (QObject *page : pages)
        delete page;
    return code;
}
