#include "desktopservers.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include "testwindow.h"

#include <unistd.h>

namespace {

constexpr int kStartTimeoutMs = 15000;

// Polls `ready` every 50 ms until it holds or the time is up.
template <class Ready> bool waitFor(Ready ready)
{
    QElapsedTimer timer;
    timer.start();
    while (!ready()) {
        if (timer.elapsed() > kStartTimeoutMs)
            return false;
        QThread::msleep(50);
    }
    return true;
}

bool windowManagerRuns()
{
    return rootProperty("_NET_SUPPORTING_WM_CHECK").size() == 1;
}

} // namespace

DesktopServers::DesktopServers() = default;

DesktopServers::~DesktopServers()
{
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(3000)) {
            (*it)->kill();
            (*it)->waitForFinished(3000);
        }
    }
}

QProcess *DesktopServers::start(const QString &program, const QStringList &arguments)
{
    m_processes.push_back(std::make_unique<QProcess>());
    QProcess *p = m_processes.back().get();
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start(program, arguments);
    return p->waitForStarted(kStartTimeoutMs) ? p : nullptr;
}

bool DesktopServers::startX(QString &error)
{
    // The server writes its display number to its standard output once it listens.
    // -noreset: without it the server resets whenever its last client leaves, as
    // the probe for the window manager does, and a reset drops a window manager
    // that is just connecting.
    QProcess *x = start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1024x768x24",
                                                 "-nolisten", "tcp", "-noreset"});
    if (!x || !x->waitForReadyRead(kStartTimeoutMs)) {
        error = QStringLiteral("Xvfb did not start");
        return false;
    }
    const QByteArray display = ":" + x->readLine().trimmed();
    qputenv("DISPLAY", display);
    QProcess *wm = start(QStringLiteral("openbox"), {"--sm-disable"});
    if (!wm || !waitFor(windowManagerRuns)) {
        error = QStringLiteral("openbox did not start on ") + display;
        return false;
    }
    return true;
}

bool DesktopServers::startPulse(QString &error)
{
    const QString dir = m_dir.path() + QStringLiteral("/pulse");
    QDir().mkpath(dir);
    const QString socket = dir + QStringLiteral("/native");
    m_processes.push_back(std::make_unique<QProcess>());
    QProcess *p = m_processes.back().get();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
    p->setProcessEnvironment(env);
    p->start(QStringLiteral("pulseaudio"),
             {"--daemonize=no", "--system=false", "--exit-idle-time=-1", "-n", "--disable-shm=true",
              "--load=module-null-sink sink_name=velko_null",
              "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket});
    m_pulseServer = QStringLiteral("unix:") + socket;
    qputenv("PULSE_SERVER", m_pulseServer.toUtf8());
    if (!p->waitForStarted(kStartTimeoutMs) ||
        !waitFor([&] { return pactl({"get-default-sink"}).trimmed() == "velko_null"; })) {
        error = QStringLiteral("pulseaudio did not start: ") + p->readAllStandardError();
        return false;
    }
    return true;
}

QString DesktopServers::startBus(QString &error)
{
    QProcess *bus =
        start(QStringLiteral("dbus-daemon"),
              {"--session", "--nofork", "--print-address=1", "--address=unix:dir=" + m_dir.path()});
    if (!bus || !bus->waitForReadyRead(kStartTimeoutMs)) {
        error = QStringLiteral("dbus-daemon did not start");
        return {};
    }
    return QString::fromUtf8(bus->readLine().trimmed());
}

bool DesktopServers::startKWinInputStandIn(QString &error)
{
    const QString address = startBus(error);
    if (address.isEmpty())
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    const QString manager = QStringLiteral("/org/kde/KWin/InputDevice");
    QProcess *mock = start(QStringLiteral("/usr/bin/python3"),
                           {"-m", "dbusmock", "org.kde.KWin", manager,
                            "org.kde.KWin.InputDeviceManager"});
    // Through gdbus, which needs no application object: this runs before it.
    const auto mockCall = [&](const QStringList &arguments) {
        QProcess gdbus;
        gdbus.start(QStringLiteral("gdbus"), QStringList{"call", "--session", "-d", "org.kde.KWin",
                                                         "-o", manager, "-m"} + arguments);
        const bool ok = gdbus.waitForFinished(5000) && gdbus.exitCode() == 0;
        error = ok ? QString() : QString::fromUtf8(gdbus.readAllStandardError());
        return ok;
    };
    const QString device = QStringLiteral("org.kde.KWin.InputDevice");
    return mock && waitFor([&] {
               return mockCall({"org.freedesktop.DBus.Mock.AddProperty",
                                "org.kde.KWin.InputDeviceManager", "devicesSysNames",
                                "<['event3', 'event4']>"});
           }) &&
           mockCall({"org.freedesktop.DBus.Mock.AddObject", manager + "/event3", device,
                     "{'pointer': <true>, 'pointerAcceleration': <0.2>}", "@a(ssss) []"}) &&
           mockCall({"org.freedesktop.DBus.Mock.AddObject", manager + "/event4", device,
                     "{'pointer': <false>, 'pointerAcceleration': <0.0>}", "@a(ssss) []"});
}

bool DesktopServers::startSwayIpcStandIn(QString &error)
{
    const QString socket = m_dir.path() + QStringLiteral("/sway-ipc.sock");
    QProcess *standIn = start(QStringLiteral(VELKO_TEST_HELPERS "/sway_ipc_standin.py"), {socket});
    if (!standIn || !waitFor([&] { return QFile::exists(socket); })) {
        error = QStringLiteral("the sway IPC stand-in did not start");
        return false;
    }
    qputenv("SWAYSOCK", QFile::encodeName(socket));
    return true;
}

bool DesktopServers::startLogind(const QString &backlightRoot, QString &error)
{
    const QString address = startBus(error);
    if (address.isEmpty())
        return false;
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
    qputenv("XDG_SESSION_ID", "velko1");
    QProcess *mock = start(QStringLiteral("/usr/bin/python3"),
                           {"-m", "dbusmock", "--system", "--template", "logind", "-l",
                            m_dir.path() + QStringLiteral("/logind.log")});
    QDBusConnection system = QDBusConnection::systemBus();
    if (!mock || !waitFor([&] {
            return system.interface()->isServiceRegistered(
                QStringLiteral("org.freedesktop.login1"));
        })) {
        error = QStringLiteral("the mocked logind did not start");
        return false;
    }
    auto mockCall = [&](const QString &path, const QString &method, const QVariantList &args) {
        QDBusMessage m =
            QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"), path,
                                           QStringLiteral("org.freedesktop.DBus.Mock"), method);
        m.setArguments(args);
        const QDBusMessage reply = system.call(m);
        if (reply.type() == QDBusMessage::ErrorMessage)
            error += reply.errorMessage();
        return reply.type() == QDBusMessage::ReplyMessage;
    };
    const QString writeBrightness =
        QStringLiteral("open('%1/' + args[1] + '/brightness', 'w').write(str(args[2]))")
            .arg(backlightRoot);
    return mockCall(QStringLiteral("/org/freedesktop/login1"), QStringLiteral("AddSession"),
                    {"velko1", "seat0", uint(getuid()), "velko", true}) &&
           mockCall(
               QStringLiteral("/org/freedesktop/login1/session/velko1"),
               QStringLiteral("AddMethod"),
               {"org.freedesktop.login1.Session", "SetBrightness", "ssu", "", writeBrightness});
}

QString DesktopServers::pactl(const QStringList &arguments) const
{
    QProcess p;
    p.start(QStringLiteral("pactl"), arguments);
    if (!p.waitForFinished(5000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString DesktopServers::logindCalls() const
{
    QFile log(m_dir.path() + QStringLiteral("/logind.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}
