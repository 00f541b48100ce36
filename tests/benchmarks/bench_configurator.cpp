// The configurator as a person uses it, drawn as it draws by default (the
// software renderer): the time from the start of the program to the first frame
// of the main page, then its resident memory after one round through every page,
// list, box and pop-up, and after 50 rounds, beside that of an empty Qt Quick
// window of the same size measured in the same run, and of the same window
// showing one text and one Quick Controls button: what any window drawing text
// with the toolkit's controls pays before it shows anything of its own.
//
// The program starts itself three more times: as each of the two windows and as
// the configurator, and reads the figures each prints. The configurator runs from
// a private empty folder (it starts no agent and writes no settings beside the
// build) with the simulated receiver.
//
// Usage: velko_configurator_bench [rounds]   (50; QT_QPA_PLATFORM defaults to
// offscreen: run it with QT_QPA_PLATFORM=xcb in a virtual display to measure a
// real window)
#include "appenv.h"
#include "bench_common.h"
#include "configuratorapp.h"
#include "configuratorplatform.h"
#include "startoptions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

using bench::dropMessages;
using bench::residentMemory;

// The windows the configurator is measured against: the option that starts one,
// the name of its figure, and the page it shows.
struct ReferenceWindow
{
    const char *option;
    const char *figure;
    const char *qml;
};
const ReferenceWindow kEmptyWindow{
    "--empty", "empty window",
    "import QtQuick 2.12\nimport QtQuick.Window 2.12\n"
    "Window { width: 1000; height: 700; visible: true }"};
const ReferenceWindow kButtonWindow{
    "--button", "button window",
    "import QtQuick 2.12\nimport QtQuick.Window 2.12\nimport QtQuick.Controls 2.12\n"
    "Window { width: 1000; height: 700; visible: true\n"
    "  Column { Text { text: \"Mouse\" } Button { text: \"Pair\" } } }"};
const char kConfiguratorOption[] = "--configurator";
const char kFirstFrameLine[] = "first frame of the main page";
const char kMemoryLine[] = "memory ";

// Runs `work` at the window's next frame only.
void atNextFrame(QQuickWindow *window, std::function<void()> work)
{
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(window, &QQuickWindow::frameSwapped, window,
                                   [connection, work = std::move(work)] {
                                       QObject::disconnect(*connection);
                                       work();
                                   });
}

// Steps run one after another from the event loop itself, each `pause` ms
// after the one before (not in nested loops: objects released with deleteLater()
// would wait there until the whole walk had ended).
class Walk
{
public:
    using Step = std::function<void()>;
    void add(Step step, int pause = 30) { m_steps.push_back({std::move(step), pause}); }
    void run(std::function<void()> done)
    {
        m_done = std::move(done);
        next(0);
    }

private:
    void next(std::size_t index)
    {
        if (index == m_steps.size())
            return m_done();
        QTimer::singleShot(m_steps[index].second, [this, index] {
            m_steps[index].first();
            next(index + 1);
        });
    }
    std::vector<std::pair<Step, int>> m_steps;
    std::function<void()> m_done;
};

// The figure of a "memory <what>: <kB> kB" line, in MB.
double megabytes(const QString &rss)
{
    return rss.section(QLatin1Char(' '), 0, 0).toDouble() / 1024.0;
}

void printMemory(const char *what)
{
    std::printf("%s%s: %s\n", kMemoryLine, what, qPrintable(residentMemory()));
    std::fflush(stdout);
}

// One round through everything the window shows, from the connection page and
// back to it, as a user's clicks drive it.
void visitEveryPage(QObject *root, Walk &walk)
{
    const auto find = [root](const char *name) { return root->findChild<QObject *>(name); };
    const auto logic = [&walk, root](const char *state) {
        walk.add([root, state] {
            QMetaObject::invokeMethod(root, "onLogic", Q_ARG(QVariant, QString(state)));
        });
    };
    QObject *navigator = find("navigator");
    QObject *device = find("connectDevice");
    for (const char *action : {"mid_key_press", "mid_wheel_wheel", "right_key_press",
                               "side_upKey_press", "side_downKey_press", "side_wheel"}) {
        walk.add([device, action] {
            QMetaObject::invokeMethod(device, "sigActionClicked", Q_ARG(QString, QString(action)));
        });
        walk.add([root] { QMetaObject::invokeMethod(root, "closeList"); });
    }
    logic("default_set");
    walk.add([find] { QMetaObject::invokeMethod(find("restoreBox"), "sigCancleClicked"); });
    for (const char *state : {"QXAbout", "hide_about", "QXPair", "enterSuccess", "hidePair",
                              "sign_in_clicked", "hide_signOut_page"})
        logic(state);
    for (const char *page : {"login", "register", "forget", "verify", "reset"}) {
        walk.add([device] { QMetaObject::invokeMethod(device, "f_showLogin"); });
        walk.add([find, page] {
            if (QObject *popup = find("popup"))
                popup->setProperty("page", QString(page));
        });
        walk.add([device] { QMetaObject::invokeMethod(device, "f_hideLogin"); });
    }
    logic("return_choose");
    for (bool present : {false, true})
        walk.add([navigator, present] {
            QMetaObject::invokeMethod(navigator, "receiverChanged", Q_ARG(bool, present),
                                      Q_ARG(QString, QStringLiteral("QX210")));
        });
    walk.add([navigator] {
        QMetaObject::invokeMethod(navigator, "showInfo", Q_ARG(QString, QStringLiteral("info")),
                                  Q_ARG(bool, true), Q_ARG(int, 10));
    });
}

int runReferenceWindow(int argc, char *argv[], const ReferenceWindow &reference)
{
    QGuiApplication app(argc, argv);
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    QQmlApplicationEngine engine;
    engine.loadData(reference.qml);
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().value(0));
    if (!window)
        return 1;
    atNextFrame(window, [&reference] {
        QTimer::singleShot(500, [&reference] {
            printMemory(reference.figure);
            QGuiApplication::exit(0);
        });
    });
    return app.exec();
}

int runConfiguratorRounds(int argc, char *argv[], int rounds)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    qInstallMessageHandler(dropMessages);
    QApplication app(argc, argv);
    QTemporaryDir folder;
    appenv::setApplicationDir(folder.path());
    StartOptions options;
    options.simulatedMouse = true;
    ConfiguratorPlatform::install(ConfiguratorPlatform::forOptions(options));

    ConfiguratorStartup startup = ConfiguratorStartup::native();
    Walk walk;
    startup.mainPageLoaded = [&](QObject *root) {
        auto *window = qobject_cast<QQuickWindow *>(root);
        if (!window) {
            std::printf("the main page is not a window\n");
            QTimer::singleShot(0, &app, [] { QApplication::exit(1); });
            return;
        }
        atNextFrame(window, [&, root] {
            std::printf("%s, from main(): %lld ms\n", kFirstFrameLine,
                        static_cast<long long>(sinceStart.elapsed()));
            std::fflush(stdout);
            // The simulated receiver is found and the model chosen first.
            QMetaObject::invokeMethod(root->findChild<QObject *>("navigator"), "modelConfirmed",
                                      Q_ARG(QString, "QX210"));
            walk.add([] { printMemory("at the connection page"); }, 3000);
            for (int round = 1; round <= rounds; ++round) {
                visitEveryPage(root, walk);
                if (round == 1)
                    walk.add([] { printMemory("after 1 round"); }, 500);
            }
            walk.add([rounds] {
                printMemory(qPrintable(QStringLiteral("after %1 rounds").arg(rounds)));
            }, 500);
            walk.run([] { QApplication::exit(0); });
        });
    };
    return runConfigurator(app, startup);
}

// Runs this program with `option` and returns the lines it printed.
QStringList runChild(const QString &option, const QStringList &extra = {})
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer sinceStart;
    sinceStart.start();
    child.start(QCoreApplication::applicationFilePath(), QStringList{option} + extra);
    QStringList lines;
    while (child.waitForReadyRead(600000) || child.canReadLine()) {
        while (child.canReadLine()) {
            QString line = QString::fromUtf8(child.readLine()).trimmed();
            if (line.startsWith(QLatin1String(kFirstFrameLine)))
                lines << QStringLiteral("%1, from the start of the process: %2 ms (goal < 1000 ms)")
                             .arg(QLatin1String(kFirstFrameLine))
                             .arg(sinceStart.elapsed());
            lines << line;
        }
    }
    child.waitForFinished(30000);
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        lines << QStringLiteral("failed: %1 ended with %2").arg(option).arg(child.exitCode());
    return lines;
}

QString figure(const QStringList &lines, const QString &what)
{
    for (const QString &line : lines)
        if (line.startsWith(QLatin1String(kMemoryLine) + what + QLatin1Char(':')))
            return line.section(QLatin1Char(':'), 1).trimmed();
    return QString();
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const ReferenceWindow *reference : {&kEmptyWindow, &kButtonWindow})
        if (argc >= 2 && qstrcmp(argv[1], reference->option) == 0)
            return runReferenceWindow(argc, argv, *reference);
    if (argc >= 3 && qstrcmp(argv[1], kConfiguratorOption) == 0)
        return runConfiguratorRounds(argc, argv, std::max(1, QByteArray(argv[2]).toInt()));

    QCoreApplication app(argc, argv);
    const int rounds = argc >= 2 ? std::max(1, QByteArray(argv[1]).toInt()) : 50;
    const QStringList empty = runChild(QLatin1String(kEmptyWindow.option));
    const QStringList button = runChild(QLatin1String(kButtonWindow.option));
    const QStringList configurator =
        runChild(QLatin1String(kConfiguratorOption), {QString::number(rounds)});
    bool failed = false;
    for (const QString &line : empty + button + configurator) {
        std::printf("%s\n", qPrintable(line));
        failed |= line.startsWith(QLatin1String("failed"));
    }
    const QString lastRound = QStringLiteral("after %1 rounds").arg(rounds);
    const double base = megabytes(figure(empty, QLatin1String(kEmptyWindow.figure)));
    const double withButton = megabytes(figure(button, QLatin1String(kButtonWindow.figure)));
    const double first = megabytes(figure(configurator, QStringLiteral("after 1 round")));
    const double last = megabytes(figure(configurator, lastRound));
    std::printf("resident memory (MB): empty Qt Quick window %.1f | with a text and a button "
                "%.1f (+%.1f) | every page visited once %.1f (+%.1f, goal <= +10) | after %d "
                "rounds %.1f (%+.1f over the first round, goal within 1)\n",
                base, withButton, withButton - base, first, first - base, rounds, last,
                last - first);
    return failed || base == 0 || withButton == 0 || first == 0 || last == 0 ? 1 : 0;
}
