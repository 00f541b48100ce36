#include "promousefunc.h"

#include "agentlog.h"
#include "agentplatform.h"
#include "appenv.h"
#include "catalogue.h"
#include "controls.h"
#include "programsets.h"

#include <QDebug>

using catalogue::Key;
using catalogue::Wheel;

namespace {

constexpr int kCsidlMyPictures = 0x27;
constexpr int kCsidlPersonal = 0x05;
constexpr int kCsidlDrives = 0x11;
constexpr int kCsidlMyVideo = 0x0E;
constexpr int kCsidlMyMusic = 0x0D;

constexpr int kMediaPlayPause = 0xB3;
constexpr int kMediaStop = 0xB2;
constexpr int kMediaPrevTrack = 0xB1;
constexpr int kMediaNextTrack = 0xB0;

// sendCtrlShortcut selectors.
constexpr int kCtrlC = 0x301;
constexpr int kCtrlX = 0x300;
constexpr int kCtrlV = 0x302;
constexpr int kCtrlA = 0;
constexpr int kCtrlN = 1;
constexpr int kCtrlS = 2;
constexpr int kCtrlP = 3;

// exitWindows kinds and volumeStep directions.
constexpr int kLogOff = 0;
constexpr int kShutDown = 1;
constexpr int kRestart = 2;
constexpr int kVolumeUp = 0;
constexpr int kVolumeDown = 1;

bool isKeyControl(int control)
{
    const controls::Control *c = controls::byNumber(control);
    return c && !c->isWheel;
}

bool isWheelControl(int control)
{
    const controls::Control *c = controls::byNumber(control);
    return c && c->isWheel;
}

// A wheel entry stored as 48, the key list's "None", keeps the wheel's own movement.
constexpr int kKeyNoneOnWheel = int(Key::None);

} // namespace

ProMouseFunc::ProMouseFunc(AgentPlatform &platform, QObject *parent)
    : QObject(parent), m_platform(platform), m_input(platform, m_settings),
      m_system(platform, m_settings), m_desktop(platform), m_scroll(platform), m_versionClass(appenv::windowsVersionClass())
{
}

ProMouseFunc::~ProMouseFunc() = default;

void ProMouseFunc::onKeyEvent(int control, bool released)
{
    if (!isKeyControl(control))
        return;
    m_currentControl = control;
    // Read on the press and again on the release: an entry changed while the key
    // is held takes effect for the release half.
    runKeyFunction(control, chooseEntry(control), released);
}

void ProMouseFunc::onWheelEvent(int control, const QString &direction)
{
    if (!isWheelControl(control))
        return;
    runWheelFunction(control, chooseEntry(control), direction);
}

std::optional<int> ProMouseFunc::chooseEntry(int control)
{
    // Reads both files; what follows answers from that read.
    std::optional<int> index = m_settings.catalogueIndex(control);
    int section = 0;
    if (m_settings.hasProgramEntries(control)) {
        section = m_settings.sectionOf(programInFront());
        if (const std::optional<int> own = section ? m_settings.programIndex(section, control)
                                                   : std::nullopt)
            index = own;
        else
            section = 0; // "Same as all programs"
    }
    m_settings.setParameterSet(section);
    return index;
}

const QString &ProMouseFunc::programInFront()
{
    platform::ProgramDirectory *programs = m_platform.programs.get();
    const platform::WindowId window = programs ? programs->foregroundWindow() : 0;
    if (window != m_frontWindow) {
        m_frontWindow = window;
        m_frontProgram =
            window ? programsets::matchKey(QString::fromStdString(programs->programOf(window)))
                   : QString();
        qCDebug(lcAgentEvents) << "program in front" << m_frontProgram;
    }
    return m_frontProgram;
}

void ProMouseFunc::runKeyFunction(int control, std::optional<int> index, bool released)
{
    qCDebug(lcAgentEvents).nospace() << "当前的 index " << index.value_or(int(Key::None));
    if (!index) {
        ownButton(control, released);
        return;
    }
    int canonical = *index;
    if (catalogue::isWin8(m_versionClass)) {
        qCDebug(lcAgentActions) << "win 8 功能处理";
        canonical = catalogue::canonicalIndex(catalogue::List::Keys, canonical, m_versionClass);
    }
    if (released)
        keyRelease(control, canonical);
    else
        keyPress(control, canonical);
}

void ProMouseFunc::keyPress(int control, int index)
{
    switch (Key(index)) {
    case Key::MouseLeftClick:
        m_input.leftButton(false);
        break;
    case Key::MouseRightClick:
        m_input.rightButton(false);
        break;
    case Key::None:
        ownButton(control, false);
        break;
    default:
        break;
    }
}

void ProMouseFunc::keyRelease(int control, int index)
{
    if (index < 0 || index >= catalogue::kKeyCount)
        return;
    switch (Key(index)) {
    case Key::MediaPlayer:
        m_input.runProgram(QStringLiteral("wmplayer.exe"));
        break;
    case Key::OpenWebPage:
        m_input.openWebUrl(m_currentControl);
        break;
    case Key::OpenFile:
        m_input.openFile(m_currentControl);
        break;
    case Key::OpenFolder:
        m_input.openFolder(m_currentControl);
        break;
    case Key::OpenApplication:
        m_input.openApplication(m_currentControl);
        break;
    case Key::PlaySound:
        m_input.playSound(m_currentControl);
        break;
    case Key::MouseSpeed:
        m_system.togglePointerSpeed(m_currentControl, m_pointerSpeedToggle);
        break;
    case Key::MyPicture:
        m_input.openSpecialFolder(kCsidlMyPictures);
        break;
    case Key::MyDocuments:
        m_input.openSpecialFolder(kCsidlPersonal);
        break;
    case Key::MyComputer:
        m_input.openSpecialFolder(kCsidlDrives);
        break;
    case Key::MyVideo:
        m_input.openSpecialFolder(kCsidlMyVideo);
        break;
    case Key::MyMusic:
        m_input.openSpecialFolder(kCsidlMyMusic);
        break;
    case Key::Copy:
        m_input.sendCtrlShortcut(kCtrlC);
        break;
    case Key::Clipping:
        m_input.sendCtrlShortcut(kCtrlX);
        break;
    case Key::Paste:
        m_input.sendCtrlShortcut(kCtrlV);
        break;
    case Key::Shutdown:
        m_system.exitWindows(kShutDown);
        break;
    case Key::Reboot:
        m_system.exitWindows(kRestart);
        break;
    case Key::MaxWindow:
        m_desktop.setForegroundState(CDesktopWithWindow::kShowMaximized);
        break;
    case Key::MinWindow:
        m_desktop.setForegroundState(CDesktopWithWindow::kMinimize);
        break;
    case Key::LogOut:
        m_system.exitWindows(kLogOff);
        break;
    case Key::Homepage:
        m_input.openDefaultBrowser();
        break;
    case Key::CloseWindow:
        m_input.closeForegroundWindow();
        break;
    case Key::IncreaseVolume:
        m_system.volumeStep(kVolumeUp);
        break;
    case Key::Search:
        m_input.runProgram(QStringLiteral("search-ms:"));
        break;
    case Key::ShowHideDesktop:
        m_desktop.showDesktop();
        break;
    case Key::Calculator:
        m_input.runProgram(QStringLiteral("calc.exe"));
        break;
    case Key::LowerVolume:
        m_system.volumeStep(kVolumeDown);
        break;
    case Key::Silent:
        m_system.toggleMute();
        break;
    case Key::LockScreen:
        m_system.lockWorkStation();
        break;
    case Key::SelectAll:
        m_input.sendCtrlShortcut(kCtrlA);
        break;
    case Key::New:
        m_input.sendCtrlShortcut(kCtrlN);
        break;
    case Key::Save:
        m_input.sendCtrlShortcut(kCtrlS);
        break;
    case Key::Print:
        m_input.sendCtrlShortcut(kCtrlP);
        break;
    case Key::ResourceManager:
        qCDebug(lcAgentActions) << "open Resoure Manager";
        m_input.runProgram(QStringLiteral("taskmgr.exe"));
        break;
    case Key::MouseLeftClick:
        m_input.leftButton(true);
        break;
    case Key::MouseRightClick:
        m_input.rightButton(true);
        break;
    case Key::RollForward:
        m_input.wheelUp();
        break;
    case Key::RollBack:
        m_input.wheelDown();
        break;
    case Key::Run:
        m_input.openRunDialog();
        break;
    case Key::ZoomIn:
        m_input.zoomIn();
        break;
    case Key::ZoomOut:
        m_input.zoomOut();
        break;
    case Key::SwitchApplication:
        m_desktop.switchWindow();
        break;
    case Key::WindowsMenu:
        m_input.pressWindowsKey();
        break;
    case Key::PlayPause:
        m_input.sendMediaKey(kMediaPlayPause);
        break;
    case Key::Stop:
        m_input.sendMediaKey(kMediaStop);
        break;
    case Key::Previous:
        m_input.sendMediaKey(kMediaPrevTrack);
        break;
    case Key::Next:
        m_input.sendMediaKey(kMediaNextTrack);
        break;
    case Key::DoubleClick:
        m_input.doubleClick();
        break;
    case Key::None:
        ownButton(control, true);
        break;
    }
}

void ProMouseFunc::ownButton(int control, bool up)
{
    switch (control) {
    case controls::MidKey:
        m_input.middleButton(up);
        break;
    case controls::RightKey:
        m_input.rightButton(up);
        break;
    case controls::SideUpKey:
        m_input.xButton(2, up);
        break;
    case controls::SideDownKey:
        m_input.xButton(1, up);
        break;
    default:
        break;
    }
}

void ProMouseFunc::runWheelFunction(int control, std::optional<int> index, const QString &direction)
{
    // Exact, case-sensitive texts; anything else is neither.
    const bool up = direction == QLatin1String("up");
    const bool down = direction == QLatin1String("down");
    int canonical = int(Wheel::None);
    if (index) {
        canonical = catalogue::isWin8(m_versionClass)
                        ? catalogue::canonicalIndex(catalogue::List::Wheels, *index, m_versionClass)
                        : *index;
    }
    if (canonical == kKeyNoneOnWheel)
        canonical = int(Wheel::None);
    if (canonical < 0 || canonical >= catalogue::kWheelCount)
        return;

    switch (Wheel(canonical)) {
    case Wheel::VolumeControl:
        if (up)
            m_system.volumeStep(kVolumeUp);
        else if (down)
            m_system.volumeStep(kVolumeDown);
        break;
    case Wheel::ScrollHorizontally:
        if (up)
            m_scroll.ScrollLeft();
        else if (down)
            m_scroll.ScrollRight();
        break;
    case Wheel::SwitchApplications:
        if (up)
            m_desktop.wheelSwitchApp(false);
        else if (down)
            m_desktop.wheelSwitchApp(true);
        break;
    case Wheel::BrightnessControl:
        if (up)
            m_system.brightnessStep(true);
        else if (down)
            m_system.brightnessStep(false);
        break;
    case Wheel::TabPreviousNext:
        if (up)
            m_desktop.tabSwitch(true);
        else if (down)
            m_desktop.tabSwitch(false);
        break;
    case Wheel::ZoomInOut:
        if (up)
            m_input.zoomIn();
        else if (down)
            m_input.zoomOut();
        break;
    case Wheel::SongPreviousNext:
        if (up)
            m_input.sendMediaKey(kMediaPrevTrack);
        else if (down)
            m_input.sendMediaKey(kMediaNextTrack);
        break;
    case Wheel::PlayPause:
        m_input.sendMediaKey(kMediaPlayPause);
        break;
    case Wheel::Stop:
        m_input.sendMediaKey(kMediaStop);
        break;
    case Wheel::None:
        if (up || down)
            ownMovement(control, up);
        break;
    }
}

void ProMouseFunc::ownMovement(int control, bool up)
{
    if (control == controls::MidWheel) {
        if (up)
            m_input.wheelUp();
        else
            m_input.wheelDown();
    } else if (control == controls::SideWheel) {
        if (up)
            m_scroll.ScrollLeft();
        else
            m_scroll.ScrollRight();
    }
}
