// The windows of GNOME Shell. The Shell gives programs no window list; our Shell
// extension ("velko-options@velko.com", shipped with the package, enabled by the
// user) exports one on the session bus as com.velko.Options.Shell. The window in
// front is kept from its FocusChanged signal, so the event path makes no call;
// the window list and the actions are calls to it. Until the extension runs (not
// enabled yet, or the Shell restarting) it is not answering, and the X11 code
// sees what it can (XWayland windows); it is picked up as soon as its name
// appears on the bus.
#include "compositor_windows.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QMap>
#include <QObject>

#include <algorithm>

namespace platform::linuxport {
namespace {

const QString kService = QStringLiteral("com.velko.Options.Shell");
const QString kPath = QStringLiteral("/com/velko/Options/Shell");
const QString kInterface = QStringLiteral("com.velko.Options.Shell");
const QString kUuid = QStringLiteral("velko-options@velko.com");

QDBusMessage callShell(const QString &method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
        QStringLiteral("org.gnome.Shell.Extensions"), method);
    call.setArguments({kUuid});
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
}

class GnomeWindows : public QObject, public CompositorWindows
{
    Q_OBJECT

public:
    GnomeWindows() : m_bus(QDBusConnection::sessionBus()), m_watcher(kService, m_bus)
    {
        m_bus.connect(kService, kPath, kInterface, QStringLiteral("FocusChanged"), this,
                      SLOT(onFocusChanged(QString, QString, QString, uint)));
        QObject::connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
            m_answering = true;
            askFocus();
        });
        QObject::connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
            m_answering = false;
            m_windows.clear();
            m_active = 0;
        });
        m_answering = m_bus.interface() && m_bus.interface()->isServiceRegistered(kService);
        if (m_answering)
            askFocus();
    }

    bool isAnswering() const override { return m_answering; }
    WindowId active() override { return m_active; }

    bool find(WindowId id, CompositorWindow &out) override
    {
        for (const CompositorWindow &w : m_windows)
            if (w.id == id) {
                out = w;
                return true;
            }
        return false;
    }

    std::vector<CompositorWindow> all() override
    {
        const QDBusMessage reply =
            m_bus.call(QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                      QStringLiteral("ListWindows")),
                       QDBus::Block, 3000);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            std::vector<CompositorWindow> listed;
            const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString key, program, title;
                uint pid = 0;
                list.beginStructure();
                list >> key >> program >> title >> pid;
                list.endStructure();
                listed.push_back(note(key, program, title));
            }
            list.endArray();
            m_windows = listed;
        }
        std::vector<CompositorWindow> sorted = m_windows;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto &a, const auto &b) { return a.lastActive > b.lastActive; });
        return sorted;
    }

    bool setMaximized(WindowId id, bool maximized) override
    {
        return act(maximized ? "Maximize" : "Unmaximize", id);
    }

    bool setMinimized(WindowId id, bool minimized) override
    {
        return act(minimized ? "Minimize" : "Unminimize", id);
    }

    void toggleShowDesktop() override
    {
        m_bus.call(QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                  QStringLiteral("ToggleShowDesktop")),
                   QDBus::NoBlock);
    }

private slots:
    void onFocusChanged(const QString &key, const QString &program, const QString &title, uint)
    {
        if (key.isEmpty()) {
            m_active = 0; // the desktop, the overview or nothing in front
            return;
        }
        const CompositorWindow front = note(key, program, title);
        for (CompositorWindow &w : m_windows) {
            w.activated = w.id == front.id;
            if (w.activated)
                w.lastActive = ++m_activations;
        }
        m_active = front.id;
    }

private:
    // The window `key` with what is known of it now, added when new.
    CompositorWindow note(const QString &key, const QString &program, const QString &title)
    {
        WindowId &id = m_ids[key];
        if (!id)
            id = kWaylandWindowBit | (++m_lastId & ~kWaylandWindowBit);
        auto it = std::find_if(m_windows.begin(), m_windows.end(),
                               [&](const auto &w) { return w.id == id; });
        if (it == m_windows.end()) {
            m_windows.push_back({});
            it = m_windows.end() - 1;
            it->id = id;
        }
        it->appId = program.toStdString();
        it->title = title.toStdString();
        return *it;
    }

    void askFocus()
    {
        const QDBusMessage reply =
            m_bus.call(QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                      QStringLiteral("FocusedWindow")),
                       QDBus::Block, 3000);
        const QVariantList a = reply.arguments();
        if (reply.type() == QDBusMessage::ReplyMessage && a.size() == 4)
            onFocusChanged(a[0].toString(), a[1].toString(), a[2].toString(), a[3].toUInt());
    }

    bool act(const char *method, WindowId id)
    {
        const QString key = m_ids.key(id);
        if (key.isEmpty() || !m_bus.interface()->isServiceRegistered(kService))
            return false;
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QLatin1String(method));
        call.setArguments({key});
        return m_bus.send(call);
    }

    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    QMap<QString, WindowId> m_ids; // the Shell's window id -> ours
    std::vector<CompositorWindow> m_windows;
    WindowId m_active = 0;
    WindowId m_lastId = 0;
    std::uint64_t m_activations = 0;
    bool m_answering = false;
};

} // namespace

ShellExtension gnomeExtensionState()
{
    const QDBusMessage reply = callShell(QStringLiteral("GetExtensionInfo"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return ShellExtension::Missing;
    QVariantMap info;
    reply.arguments().first().value<QDBusArgument>() >> info;
    if (info.isEmpty())
        return ShellExtension::Missing; // not installed
    // The Shell's ExtensionState: 1 enabled, 2 disabled, 6 initialised (found,
    // never enabled); 3 error, 4 out of date (another Shell version).
    switch (info.value(QStringLiteral("state")).toInt()) {
    case 1:
        return ShellExtension::Enabled;
    case 2:
    case 6:
        return ShellExtension::NotEnabled;
    default:
        return ShellExtension::Broken;
    }
}

bool enableGnomeExtension()
{
    const QDBusMessage reply = callShell(QStringLiteral("EnableExtension"));
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().toBool();
}

std::unique_ptr<CompositorWindows> connectGnomeWindows()
{
    if (!QDBusConnection::sessionBus().isConnected())
        return nullptr;
    return std::make_unique<GnomeWindows>();
}

} // namespace platform::linuxport

#include "gnome_windows.moc"
