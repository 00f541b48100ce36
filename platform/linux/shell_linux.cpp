// The shell on Linux. Documents, folders and web pages open through the
// desktop's handler (xdg-open); a program file is started. The Windows programs
// and URIs that the function catalogue starts have desktop counterparts in one
// table: the first program of a row found on PATH is started; when none is, one
// log line says so. Special folders are the XDG user folders. There is no
// registry; "show desktop" is the window manager's _NET_SHOWING_DESKTOP.
#include "shell.h"
#include "compositor_windows.h"
#include "x11_connection.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <initializer_list>
#include <iterator>

namespace platform {
namespace {

// A Windows program or URI and its desktop counterparts, best first.
struct Counterpart
{
    const char *windowsName; // compared without regard to case
    const char *meaning;     // for the log line when none is installed
    std::initializer_list<const char *> programs;
};

const Counterpart kCounterparts[] = {
    {"calc.exe",
     "calculator",
     {"gnome-calculator", "kcalc", "mate-calc", "galculator", "qalculate-gtk", "xcalc"}},
    {"taskmgr.exe",
     "system monitor",
     {"gnome-system-monitor", "plasma-systemmonitor", "ksysguard", "mate-system-monitor",
      "xfce4-taskmanager", "lxtask"}},
    {"wmplayer.exe",
     "media player",
     {"totem", "celluloid", "vlc", "elisa", "rhythmbox", "parole", "audacious", "smplayer"}},
    {"iexplore.exe",
     "web browser",
     {"x-www-browser", "sensible-browser", "firefox", "firefox-esr", "chromium", "google-chrome"}},
    {"search-ms:",
     "desktop search",
     {"catfish", "gnome-search-tool", "krunner", "xfce4-appfinder", "rofi"}},
};

// CSIDL values and the XDG user folders that stand for them.
struct SpecialFolder
{
    int csidl;
    QStandardPaths::StandardLocation location;
};

const SpecialFolder kSpecialFolders[] = {
    {0x00, QStandardPaths::DesktopLocation},  {0x05, QStandardPaths::DocumentsLocation},
    {0x0D, QStandardPaths::MusicLocation},    {0x0E, QStandardPaths::MoviesLocation},
    {0x27, QStandardPaths::PicturesLocation}, {0x28, QStandardPaths::HomeLocation},
};
constexpr int kCsidlDrives = 0x11; // "Computer": the file system's root

// Hands a URL to the desktop's handler.
void openUrl(const QUrl &url)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        if (!QProcess::startDetached(opener, {url.toString()}))
            qWarning() << "open: cannot start xdg-open for" << url.toString();
        return;
    }
    qWarning() << "open: no xdg-open to open" << url.toString();
}

class LinuxShell : public Shell
{
public:
    void open(const std::string &file, int) override
    {
        const QString text = QString::fromStdString(file);
        const auto row =
            std::find_if(std::begin(kCounterparts), std::end(kCounterparts), [&](auto &c) {
                return text.compare(QLatin1String(c.windowsName), Qt::CaseInsensitive) == 0;
            });
        if (row != std::end(kCounterparts)) {
            startCounterpart(*row);
            return;
        }
        const QUrl url =
            QFileInfo::exists(text) ? QUrl::fromLocalFile(text) : QUrl::fromUserInput(text);
        if (!url.isValid())
            return;
        // A program is started, as the Windows shell starts one it is asked to
        // open: the desktop's handler would show a script in an editor and has
        // nothing for a binary. What cannot be started (a document that merely
        // carries the executable bit) goes to the handler after all.
        if (url.isLocalFile()) {
            const QFileInfo file(url.toLocalFile());
            if (file.isFile() && file.isExecutable() &&
                QProcess::startDetached(file.absoluteFilePath(), {}, file.absolutePath()))
                return;
        }
        openUrl(url);
    }
    void openSpecialFolder(int csidl) override
    {
        QString path;
        if (csidl == kCsidlDrives)
            path = QDir::rootPath();
        for (const SpecialFolder &folder : kSpecialFolders) {
            if (folder.csidl == csidl)
                path = QStandardPaths::writableLocation(folder.location);
        }
        if (path.isEmpty()) {
            qWarning() << "open folder: no Linux folder for CSIDL" << csidl;
            return;
        }
        openUrl(QUrl::fromLocalFile(path));
    }
    bool readRegistryString(RegistryRoot, const std::string &, const std::string &,
                            std::string &) override
    {
        return false; // no registry
    }
    void toggleDesktop() override
    {
        if (linuxport::CompositorWindows *list = linuxport::CompositorWindows::answering())
            return list->toggleShowDesktop();
        linuxport::XConnection *x = linuxport::xConnection();
        if (!x) {
            qWarning() << "show desktop: no X display";
            return;
        }
        std::uint32_t showing = 0;
        xcb_ewmh_get_showing_desktop_reply(&x->ewmh, xcb_ewmh_get_showing_desktop(&x->ewmh, 0),
                                           &showing, nullptr);
        // Sent by hand: the EWMH helper names no window in the message, which
        // window managers ignore; the root window is the one they expect.
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = x->root;
        event.type = x->ewmh._NET_SHOWING_DESKTOP;
        event.data.data32[0] = showing ? 0 : 1;
        xcb_send_event(x->connection, 0, x->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&event));
        xcb_flush(x->connection);
    }

private:
    static void startCounterpart(const Counterpart &c)
    {
        for (const char *program : c.programs) {
            const QString path = QStandardPaths::findExecutable(QLatin1String(program));
            if (!path.isEmpty() && QProcess::startDetached(path, {}))
                return;
        }
        QStringList tried;
        for (const char *program : c.programs)
            tried << QLatin1String(program);
        qWarning().noquote() << QStringLiteral("open %1: no %2 found (looked for %3)")
                                    .arg(QLatin1String(c.windowsName), QLatin1String(c.meaning),
                                         tried.join(QLatin1String(", ")));
    }
};

} // namespace

std::unique_ptr<Shell> createShell()
{
    return std::make_unique<LinuxShell>();
}

} // namespace platform
