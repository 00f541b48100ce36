#include "inputactions.h"

#include "agentlog.h"
#include "agentconffile.h"
#include "agentplatform.h"
#include "agentwindowbase.h"
#include "controls.h"
#include "defaultbrowser.h"
#include "soundplayer.h"

#include <QDebug>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::uint8_t kVkControl = 0x11;
constexpr std::uint8_t kVkLeftWindows = 0x5B;
constexpr std::uint8_t kVkR = 0x52;
constexpr std::uint8_t kVkOemPlus = 0xBB;
constexpr std::uint8_t kVkOemMinus = 0xBD;

constexpr int kWheelDelta = 120;
constexpr int kShowDefault = 10; // SW_SHOWDEFAULT
constexpr int kShowNormal = 1;   // SW_SHOWNORMAL
constexpr std::size_t kClassNameChars = 260;
constexpr std::size_t kTitleChars = 1024;

constexpr int kShortcutPauseMs = 50;
constexpr int kDoubleClickPauseMs = 100;

// The reader's answer for a key that is absent.
const QLatin1String kMissingValue("999");

struct Shortcut
{
    int selector;
    std::uint8_t letter;
};
constexpr std::array<Shortcut, 7> kShortcuts = {{
    {0x301, 0x43}, // Copy: C
    {0x300, 0x58}, // Cut: X
    {0x302, 0x56}, // Paste: V
    {0, 0x41},     // Select all: A
    {1, 0x4E},     // New: N
    {2, 0x53},     // Save: S
    {3, 0x50},     // Print: P
}};

// Windows that zoom with Ctrl and +/- rather than with Ctrl and the wheel.
constexpr std::array<const char *, 6> kKeyZoomClasses = {
    "MozillaWindowClass",
    "AVL_AVView",
    "PSViewC",
    "Chrome_RenderWidgetHostHWND",
    "Internet Explorer_Server",
    "Windows.UI.Core.CoreWindow",
};

bool zoomsByKey(const QString &windowClass)
{
    for (const char *name : kKeyZoomClasses)
        if (windowClass.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// A file, folder, program or sound value as the address to open. The chooser
// stores file URLs ("file:///C:/a b.txt"); a path typed by hand is taken as the
// local path it names: "C:\Users\me\a.txt" or "C:/Users/me/a.txt", a share
// "\\server\docs", "/home/me/a.txt", also inside the double quotes that
// Explorer's "Copy as path" adds. Anything else (URLs of any scheme) is read as a
// URL.
QUrl documentUrl(const QString &value)
{
    QString text = value.trimmed();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2).trimmed();
    static const QRegularExpression windowsPath(QStringLiteral(R"(^([A-Za-z]:[\\/]|\\\\))"));
    if (windowsPath.match(text).hasMatch())
        return QUrl::fromLocalFile(QString(text).replace(QLatin1Char('\\'), QLatin1Char('/')));
    if (text.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(text);
    return QUrl(value, QUrl::TolerantMode);
}

// A web address as the system should open it: what the user typed, with
// "https://" in front when it names no scheme ("example.org", "example.org:8080/x")
// and is not a path, which the system would otherwise take for a file name.
QString webAddress(const QString &typed)
{
    const QString text = typed.trimmed();
    static const QRegularExpression scheme(QStringLiteral(R"(^[A-Za-z][A-Za-z0-9+.-]*:(?!\d))"));
    static const QRegularExpression path(QStringLiteral(R"(^([A-Za-z]:[\\/]|\\\\|/|~))"));
    if (text.isEmpty() || path.match(text).hasMatch() || scheme.match(text).hasMatch())
        return text;
    return QStringLiteral("https://") + text;
}

// A "Play sound" value as a local path: file URLs ("file:///C:/a.wav",
// "file:///home/u/a.wav", percent-encoded or not) and typed paths become the
// file's path, any other text is taken as a path.
QString soundFilePath(const QString &value)
{
    const QUrl url = documentUrl(value);
    if (url.isValid() && url.isLocalFile())
        return url.toLocalFile();
    return value;
}

} // namespace

InputActions::InputActions(AgentPlatform &platform, agent::OpFunConfFile &settings, QObject *parent)
    : QObject(parent), m_platform(platform), m_settings(settings),
      m_player(std::make_unique<ModuleSoundPlayer>())
{
}

InputActions::~InputActions() = default;

InputActions::UrlOpener InputActions::s_urlOpener = nullptr;

void InputActions::setSoundPlayer(std::unique_ptr<SoundPlayer> player)
{
    m_player = std::move(player);
}

void InputActions::sendKeyStroke(std::uint8_t vk, std::uint32_t downFlags, std::uint32_t upFlags)
{
    m_platform.input->keyEvent(vk, downFlags);
    m_platform.input->keyEvent(vk, upFlags);
}

namespace {
std::vector<platform::KeyStroke> toPlatform(const QVector<keycombination::Stroke> &strokes, bool up)
{
    std::vector<platform::KeyStroke> out;
    for (const keycombination::Stroke &s : strokes)
        out.push_back({s.virtualKey, s.extended, up});
    if (up)
        std::reverse(out.begin(), out.end());
    return out;
}
} // namespace

void InputActions::pressKeys(const QVector<keycombination::Stroke> &strokes)
{
    const std::vector<platform::KeyStroke> down = toPlatform(strokes, false);
    if (!m_platform.input->sendKeys(down.data(), down.size()))
        qCDebug(lcAgentActions) << "key combination: the system took only part of the keys";
}

void InputActions::releaseKeys(const QVector<keycombination::Stroke> &strokes)
{
    const std::vector<platform::KeyStroke> up = toPlatform(strokes, true);
    m_platform.input->sendKeys(up.data(), up.size());
}

void InputActions::playCombination(const keycombination::Combination &combination)
{
    for (const keycombination::Step &step : combination) {
        const QVector<keycombination::Stroke> strokes = keycombination::strokes(step);
        std::vector<platform::KeyStroke> all = toPlatform(strokes, false);
        const std::vector<platform::KeyStroke> up = toPlatform(strokes, true);
        all.insert(all.end(), up.begin(), up.end());
        m_platform.input->sendKeys(all.data(), all.size());
    }
}

void InputActions::sendCtrlShortcut(int which)
{
    for (const Shortcut &shortcut : kShortcuts) {
        if (shortcut.selector != which)
            continue;
        platform::InputInjector &input = *m_platform.input;
        input.keyEvent(kVkControl, platform::kKeyDown);
        input.keyEvent(shortcut.letter, platform::kKeyDown);
        input.pause(kShortcutPauseMs);
        input.keyEvent(shortcut.letter, platform::kKeyUp);
        input.keyEvent(kVkControl, platform::kKeyUp);
        return;
    }
}

void InputActions::openRunDialog()
{
    platform::InputInjector &input = *m_platform.input;
    input.keyEvent(kVkLeftWindows, platform::kKeyDown);
    input.keyEvent(kVkR, platform::kKeyDown);
    input.keyEvent(kVkR, platform::kKeyUp);
    input.keyEvent(kVkLeftWindows, platform::kKeyUp);
}

void InputActions::pressWindowsKey()
{
    sendKeyStroke(kVkLeftWindows, platform::kKeyExtended, platform::kKeyExtendedUp);
}

void InputActions::sendMediaKey(int vk)
{
    if (vk <= 0 || vk >= 0xFF) // not a virtual key
        return;
    sendKeyStroke(std::uint8_t(vk), platform::kKeyExtended, platform::kKeyExtendedUp);
}

void InputActions::zoom(bool in)
{
    const platform::Point cursor = m_platform.input->cursorPos();
    const platform::WindowId window = m_platform.windows->windowFromPoint(cursor);
    const QString windowClass =
        QString::fromStdString(m_platform.windows->className(window, kClassNameChars));

    platform::InputInjector &input = *m_platform.input;
    input.keyEvent(kVkControl, platform::kKeyExtended);
    if (zoomsByKey(windowClass)) {
        sendKeyStroke(in ? kVkOemPlus : kVkOemMinus, platform::kKeyExtended,
                      platform::kKeyExtendedUp);
    } else {
        input.mouseEvent(platform::kMouseWheel, in ? kWheelDelta : -kWheelDelta);
    }
    input.keyEvent(kVkControl, platform::kKeyExtendedUp);
}

void InputActions::zoomIn()
{
    zoom(true);
}

void InputActions::zoomOut()
{
    zoom(false);
}

void InputActions::leftButton(bool up)
{
    m_platform.input->mouseEvent(up ? platform::kMouseLeftUp : platform::kMouseLeftDown, 0);
}

void InputActions::rightButton(bool up)
{
    qCDebug(lcAgentActions) << "鼠标右键点击";
    m_platform.input->mouseEvent(up ? platform::kMouseRightUp : platform::kMouseRightDown, 0);
}

void InputActions::middleButton(bool up)
{
    m_platform.input->mouseEvent(up ? platform::kMouseMiddleUp : platform::kMouseMiddleDown, 0);
}

void InputActions::xButton(int which, bool up)
{
    if (which != 1 && which != 2) // XBUTTON1, XBUTTON2
        return;
    m_platform.input->mouseEvent(up ? platform::kMouseXUp : platform::kMouseXDown, which);
}

void InputActions::doubleClick()
{
    platform::InputInjector &input = *m_platform.input;
    input.mouseEvent(platform::kMouseLeftDown, 0);
    input.pause(kDoubleClickPauseMs);
    input.mouseEvent(platform::kMouseLeftUp, 0);
    input.pause(kDoubleClickPauseMs);
    input.mouseEvent(platform::kMouseLeftDown, 0);
    input.pause(kDoubleClickPauseMs);
    input.mouseEvent(platform::kMouseLeftUp, 0);
}

void InputActions::wheelUp()
{
    m_platform.input->mouseEvent(platform::kMouseWheel, kWheelDelta);
}

void InputActions::wheelDown()
{
    m_platform.input->mouseEvent(platform::kMouseWheel, -kWheelDelta);
}

void InputActions::runProgram(const QString &text)
{
    m_platform.shell->open(text.toStdString(), kShowDefault);
}

QString InputActions::pathParameter(int control, const char *suffix)
{
    const controls::Control *c = controls::byNumber(control);
    if (!c || c->isWheel)
        return QString();
    const QString value = m_settings.pathValue(QLatin1String(c->prefix), QLatin1String(suffix));
    return value == kMissingValue ? QString() : value;
}

void InputActions::openWebUrl(int control)
{
    const QString url = pathParameter(control, "_web_url");
    if (url.isEmpty())
        return;
    // The address goes on as Unicode, so that non-ASCII host names and paths
    // reach the browser intact.
    runProgram(webAddress(url));
}

void InputActions::openPathParameter(int control, const char *suffix, const char *logLabel,
                                     bool logUrl)
{
    const QString value = pathParameter(control, suffix);
    qCDebug(lcAgentActions) << logLabel << value;
    if (value.isEmpty())
        return;
    const QUrl url = documentUrl(value);
    if (logUrl)
        qCDebug(lcAgentActions) << "urlPath" << url;
    if (const UrlOpener open = s_urlOpener ? s_urlOpener : kSystemUrlOpener)
        open(url);
    else
        m_platform.shell->open(url.toString().toStdString(), kShowNormal);
}

void InputActions::setUrlOpener(UrlOpener opener)
{
    s_urlOpener = opener;
}

void InputActions::openFile(int control)
{
    openPathParameter(control, "_file_path", "file_path ", false);
}

void InputActions::openFolder(int control)
{
    openPathParameter(control, "_folder_path", "floder_path ", true);
}

void InputActions::openApplication(int control)
{
    openPathParameter(control, "_app_path", "app_path ", true);
}

void InputActions::playSound(int control)
{
    const QString value = pathParameter(control, "_sound_path");
    qCDebug(lcAgentActions) << "sound_path " << value;
    if (value.isEmpty() || !m_player)
        return;
    m_player->play(QUrl::fromLocalFile(soundFilePath(value)));
}

void InputActions::openSpecialFolder(int csidl)
{
    m_platform.shell->openSpecialFolder(csidl);
}

void InputActions::openDefaultBrowser()
{
    m_platform.shell->open(defaultbrowser::program(*m_platform.shell), kShowNormal);
}

void InputActions::closeForegroundWindow()
{
    const platform::WindowId window = m_platform.windows->foregroundWindow();
    const std::string title =
        window ? m_platform.windows->title(window, kTitleChars) : std::string();
    qCDebug(lcAgentActions) << "当前即将关闭的窗口" << QString::fromStdString(title);
    if (title.empty() || title == "Program Manager")
        return;
    m_platform.windows->postMessage(window, platform::kWmClose, 0, 0);
}
