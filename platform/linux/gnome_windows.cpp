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
#include <QObject>


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
        });
        m_answering = m_bus.interface() && m_bus.interface()->isServiceRegistered(kService);
        if (m_answering)
            askFocus();
    }

    bool isAnswering() const override { return m_answering; }
    WindowId active() override { return m_windows.active(); }
    bool find(WindowId id, CompositorWindow &out) override { return m_windows.find(id, out); }

    std::vector<CompositorWindow> all() override
    {
        const QDBusMessage reply =
            m_bus.call(QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                      QStringLiteral("ListWindows")),
                       QDBus::Block, 3000);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            std::vector<std::string> listed;
            const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString key, program, title;
                uint pid = 0;
                list.beginStructure();
                list >> key >> program >> title >> pid;
                list.endStructure();
                listed.push_back(key.toStdString());
                m_windows.note(listed.back(), program.toStdString(), title.toStdString());
            }
            list.endArray();
            m_windows.keepOnly(listed);
        }
        return m_windows.all();
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
        if (!key.isEmpty())
            m_windows.note(key.toStdString(), program.toStdString(), title.toStdString());
        m_windows.activate(key.toStdString()); // none: the desktop, the overview or nothing
    }

private:
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
        const QString key = QString::fromStdString(m_windows.keyOf(id));
        if (key.isEmpty() || !m_answering)
            return false;
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QLatin1String(method));
        call.setArguments({key});
        return m_bus.send(call);
    }

    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    KeyedWindows m_windows; // by the Shell's window ids
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
