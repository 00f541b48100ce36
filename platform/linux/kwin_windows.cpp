// The windows of KDE Plasma's compositor. KWin gives clients no window list, but
// it runs scripts: the agent loads one of its own ("velko-options-<pid>") through
// org.kde.kwin.Scripting, which tells the agent over the session bus of every
// window added, closed and activated. A window action is a short script of its
// own, run once. Show desktop is KWin's own (org.kde.KWin.showDesktop). The
// scripts use only what KWin 5.27 and 6 both offer (the window list and signals
// under either version's name). The script is unloaded when the agent quits.
#include "compositor_windows.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVirtualObject>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryFile>


namespace platform::linuxport {
namespace {

// Each process that asks (the agent, the configurator) has its own script and
// bus name, "velko-options-<pid>" and com.velko.Options.Windows.p<pid>.
const QString kPath = QStringLiteral("/Windows");
const QString kInterface = QStringLiteral("com.velko.Options.Windows");

// Tells the agent what happens to the windows a user switches between.
const char kWatchScript[] = R"JS(
var service = "SERVICE", path = "/Windows", iface = "com.velko.Options.Windows";
function usable(w) { return w && (w.normalWindow || w.dialog); }
function tell(what, w) {
    if (usable(w))
        callDBus(service, path, iface, what, String(w.internalId), String(w.resourceClass),
                 String(w.caption), String(w.pid));
    else if (what == "activated")
        callDBus(service, path, iface, what, "", "", "", "0");
}
var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (var i = 0; i < windows.length; ++i)
    tell("added", windows[i]);
(workspace.windowAdded || workspace.clientAdded).connect(function (w) { tell("added", w); });
(workspace.windowRemoved || workspace.clientRemoved).connect(function (w) {
    callDBus(service, path, iface, "closed", String(w.internalId));
});
(workspace.windowActivated || workspace.clientActivated).connect(function (w) { tell("activated", w); });
tell("activated", workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient);
)JS";

// Runs `action` on the window whose internal id is ID, as `w`.
const char kActionScript[] = R"JS(
var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (var i = 0; i < windows.length; ++i) {
    var w = windows[i];
    if (String(w.internalId) == "ID") { ACTION }
}
)JS";

class KWinWindows : public CompositorWindows, public QDBusVirtualObject
{
public:
    KWinWindows()
        : m_bus(QDBusConnection::sessionBus()),
          m_service(kInterface + QStringLiteral(".p") + QString::number(QCoreApplication::applicationPid())),
          m_scriptName(QStringLiteral("velko-options-") + QString::number(QCoreApplication::applicationPid())),
          m_actionName(m_scriptName + QStringLiteral("-action"))
    {
    }

    ~KWinWindows() override { stop(); }

    bool connect()
    {
        QDBusConnectionInterface *bus = m_bus.interface();
        if (!m_bus.isConnected() || !bus || !bus->isServiceRegistered(QStringLiteral("org.kde.KWin")))
            return false;
        if (!m_bus.registerService(m_service) ||
            !m_bus.registerVirtualObject(kPath, this, QDBusConnection::SingleNode)) {
            qWarning().noquote() << QStringLiteral("KWin's windows: %1 is taken (another agent?)")
                                        .arg(m_service);
            return false;
        }
        if (!runScript(m_watch, m_scriptName,
                       QString::fromUtf8(kWatchScript).replace(QLatin1String("SERVICE"), m_service))) {
            m_bus.unregisterObject(kPath);
            m_bus.unregisterService(m_service);
            return false;
        }
        m_stopped = false;
        // The script tells the window in front as it starts: wait for that (a
        // short while), so that the first question already has its answer.
        QElapsedTimer waited;
        waited.start();
        while (!m_told && waited.elapsed() < 2000 && QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
        if (QCoreApplication *app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, app, [this] { stop(); });
        return true;
    }

    WindowId active() override { return m_windows.active(); }
    bool find(WindowId id, CompositorWindow &out) override { return m_windows.find(id, out); }
    std::vector<CompositorWindow> all() override { return m_windows.all(); }

    bool setMaximized(WindowId id, bool maximized) override
    {
        return act(id, maximized ? "w.setMaximize(true, true);" : "w.setMaximize(false, false);");
    }

    bool setMinimized(WindowId id, bool minimized) override
    {
        return act(id, minimized ? "w.minimized = true;" : "w.minimized = false;");
    }

    void toggleShowDesktop() override
    {
        QDBusInterface kwin(QStringLiteral("org.kde.KWin"), QStringLiteral("/KWin"),
                            QStringLiteral("org.kde.KWin"), m_bus);
        const bool showing = kwin.property("showingDesktop").toBool();
        kwin.call(QDBus::NoBlock, QStringLiteral("showDesktop"), !showing);
    }

    // The watch script's messages.
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QVariantList args = message.arguments();
        const QString member = message.member();
        if ((member == QLatin1String("added") || member == QLatin1String("activated")) &&
            args.size() == 4) {
            m_told = m_told || member == QLatin1String("activated");
            const std::string key = args[0].toString().toStdString();
            if (!key.empty())
                m_windows.note(key, args[1].toString().toStdString(),
                               args[2].toString().toStdString());
            if (member == QLatin1String("activated"))
                m_windows.activate(key); // none: the desktop, a panel or nothing in front
        } else if (member == QLatin1String("closed") && args.size() == 1) {
            m_windows.remove(args[0].toString().toStdString());
        } else {
            return false;
        }
        if (!message.isReplyRequired())
            return true;
        connection.send(message.createReply());
        return true;
    }

    QString introspect(const QString &) const override { return {}; }

private:
    bool act(WindowId id, const char *action)
    {
        const QString key = QString::fromStdString(m_windows.keyOf(id));
        // KWin's internal ids are UUIDs; nothing else goes into a script.
        static const QRegularExpression kUuid(QStringLiteral("^\\{?[0-9a-fA-F-]{36}\\}?$"));
        if (key.isEmpty() || !kUuid.match(key).hasMatch())
            return false;
        const QString script = QString::fromUtf8(kActionScript)
                                   .replace(QLatin1String("ID"), key)
                                   .replace(QLatin1String("ACTION"), QLatin1String(action));
        return runScript(m_action, m_actionName, script);
    }

    // Loads `text` as the script `name` (replacing an earlier one of that name)
    // and starts it.
    bool runScript(QTemporaryFile &file, const QString &name, const QString &text)
    {
        QDBusInterface scripting(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
                                 QStringLiteral("org.kde.kwin.Scripting"), m_bus);
        scripting.call(QStringLiteral("unloadScript"), name);
        file.setFileTemplate(QDir::tempPath() + QStringLiteral("/velko-kwin-XXXXXX.js"));
        if (!file.isOpen() && !file.open())
            return false;
        file.resize(0);
        file.write(text.toUtf8());
        file.flush();
        const QDBusReply<int> id =
            scripting.call(QStringLiteral("loadScript"), file.fileName(), name);
        if (!id.isValid() || id.value() < 0) {
            qWarning().noquote() << QStringLiteral("KWin did not load the script %1: %2")
                                        .arg(name, id.error().message());
            return false;
        }
        scripting.call(QDBus::NoBlock, QStringLiteral("start"));
        return true;
    }

    void stop()
    {
        if (m_stopped)
            return;
        m_stopped = true;
        QDBusInterface scripting(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
                                 QStringLiteral("org.kde.kwin.Scripting"), m_bus);
        for (const QString &name : {m_scriptName, m_actionName})
            scripting.call(QStringLiteral("unloadScript"), name);
        m_bus.unregisterObject(kPath);
        m_bus.unregisterService(m_service);
    }

    QDBusConnection m_bus;
    const QString m_service, m_scriptName, m_actionName;
    QTemporaryFile m_watch, m_action;
    KeyedWindows m_windows; // by KWin's internal ids
    bool m_told = false;   // the window in front, since the watch started
    bool m_stopped = true; // until the watch runs
};

} // namespace

std::unique_ptr<CompositorWindows> connectKWinWindows()
{
    auto windows = std::make_unique<KWinWindows>();
    if (!windows->connect())
        windows.reset();
    return windows;
}

} // namespace platform::linuxport
