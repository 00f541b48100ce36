#include "promousefunc.h"

#include "agentlog.h"
#include "agentplatform.h"
#include "appenv.h"
#include "catalogue.h"
#include "controls.h"
#include "programsets.h"

#include <QDebug>

#include <array>
#include <utility>

using catalogue::Key;
using catalogue::Wheel;

namespace {

constexpr std::size_t kEffectKinds = std::size_t(catalogue::Effect::OwnMovement) + 1;

// sendCtrlShortcut's selectors, by the letter the catalogue names.
int ctrlShortcutSelector(int letter)
{
    constexpr std::array<std::pair<char, int>, 7> kSelectors = {
        {{'X', 0x300}, {'C', 0x301}, {'V', 0x302}, {'A', 0}, {'N', 1}, {'S', 2}, {'P', 3}}};
    for (const auto &[key, selector] : kSelectors)
        if (key == letter)
            return selector;
    return -1;
}

// exitWindows kinds and volumeStep directions.
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
      m_system(platform, m_settings), m_desktop(platform), m_scroll(platform),
      m_versionClass(appenv::windowsVersionClass())
{
}

ProMouseFunc::~ProMouseFunc()
{
    releaseHeldKeys(); // no key is left down when the agent ends
}

void ProMouseFunc::releaseHeldKeys()
{
    for (std::size_t control = 0; control < m_held.size(); ++control)
        releaseHeld(int(control));
}

bool ProMouseFunc::releaseHeld(int control)
{
    QVector<keycombination::Stroke> &held = m_held[std::size_t(control)];
    if (held.isEmpty())
        return false;
    m_input.releaseKeys(held);
    held.clear();
    return true;
}

bool ProMouseFunc::keyCombination(int control, std::optional<int> index, bool released)
{
    const QVector<keycombination::Combination> combinations =
        m_settings.combinations(control, index);
    if (combinations.isEmpty())
        return false;
    const keycombination::Combination &combination = combinations.first();
    if (combination.size() == 1) {
        // Held while the key is: down with the press, up with the release.
        if (!released) {
            releaseHeld(control);
            m_held[std::size_t(control)] = keycombination::strokes(combination.first());
            m_input.pressKeys(m_held[std::size_t(control)]);
        }
    } else if (released) {
        m_input.playCombination(combination); // a sequence plays whole
    }
    return true;
}

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
        if (const std::optional<int> own =
                section ? m_settings.programIndex(section, control) : std::nullopt)
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
    // What a combination's press holds comes up with the release, whatever is stored now.
    if (released && releaseHeld(control))
        return;
    if (keyCombination(control, index, released))
        return;
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
    if (const catalogue::SourceItem *item = catalogue::item(catalogue::List::Keys, index))
        perform(item->press, control, false);
}

void ProMouseFunc::keyRelease(int control, int index)
{
    if (const catalogue::SourceItem *item = catalogue::item(catalogue::List::Keys, index))
        perform(item->release, control, true);
}

void ProMouseFunc::perform(const catalogue::Action &action, int control, bool up)
{
    using catalogue::Direction;
    using Handler = void (*)(ProMouseFunc &, const catalogue::Action &, int control, bool up);
    // One handler per kind of effect, in the order of catalogue::Effect; what each
    // function does is the catalogue's entry.
    static const std::array<Handler, kEffectKinds> kHandlers = {{
        [](ProMouseFunc &, const catalogue::Action &, int, bool) {}, // Nothing
        [](ProMouseFunc &f, const catalogue::Action &, int c, bool u) { f.ownButton(c, u); },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool u) { f.m_input.leftButton(u); },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool u) { f.m_input.rightButton(u); },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            f.m_input.sendCtrlShortcut(ctrlShortcutSelector(a.argument));
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            f.m_input.sendMediaKey(a.argument);
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            f.m_input.runProgram(QString::fromLatin1(a.program));
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) { f.openParameter(a.argument); },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool) {
            f.m_system.togglePointerSpeed(f.m_currentControl, f.m_pointerSpeedToggle);
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            f.m_input.openSpecialFolder(a.argument);
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            f.m_system.exitWindows(a.argument);
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            f.m_desktop.setForegroundState(a.argument == int(catalogue::WindowChange::Maximise)
                                               ? CDesktopWithWindow::kShowMaximized
                                               : CDesktopWithWindow::kMinimize);
        },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool) {
            f.m_input.openDefaultBrowser();
        },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool) {
            f.m_input.closeForegroundWindow();
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            f.m_system.volumeStep(a.argument == int(Direction::Up) ? kVolumeUp : kVolumeDown);
        },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool) { f.m_system.toggleMute(); },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool) { f.m_system.lockWorkStation(); },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool) { f.m_desktop.showDesktop(); },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            a.argument == int(Direction::Up) ? f.m_input.wheelUp() : f.m_input.wheelDown();
        },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool) { f.m_input.openRunDialog(); },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            a.argument == int(Direction::Up) ? f.m_input.zoomIn() : f.m_input.zoomOut();
        },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool) { f.m_desktop.switchWindow(); },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool) { f.m_input.pressWindowsKey(); },
        [](ProMouseFunc &f, const catalogue::Action &, int, bool) { f.m_input.doubleClick(); },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            a.argument == int(Direction::Up) ? f.m_scroll.ScrollLeft() : f.m_scroll.ScrollRight();
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            f.m_desktop.wheelSwitchApp(a.argument != int(Direction::Up));
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            f.m_system.brightnessStep(a.argument == int(Direction::Up));
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int, bool) {
            f.m_desktop.tabSwitch(a.argument == int(Direction::Up));
        },
        [](ProMouseFunc &f, const catalogue::Action &a, int c, bool) {
            f.ownMovement(c, a.argument == int(Direction::Up));
        },
    }};
    const auto kind = std::size_t(action.effect);
    if (kind < kHandlers.size())
        kHandlers[kind](*this, action, control, up);
}

void ProMouseFunc::openParameter(int panel)
{
    // The panels of the pages: 1 web page, 2 file, 3 folder, 4 program, 5 sound.
    switch (panel) {
    case 1:
        return m_input.openWebUrl(m_currentControl);
    case 2:
        return m_input.openFile(m_currentControl);
    case 3:
        return m_input.openFolder(m_currentControl);
    case 4:
        return m_input.openApplication(m_currentControl);
    case 5:
        return m_input.playSound(m_currentControl);
    default:
        return;
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
    if (up || down) {
        const QVector<keycombination::Combination> combinations =
            m_settings.combinations(control, index);
        if (!combinations.isEmpty()) { // "up", then "down"
            m_input.playCombination(combinations[up ? 0 : 1]);
            return;
        }
    }
    if (canonical == kKeyNoneOnWheel)
        canonical = int(Wheel::None);
    if (canonical < 0 || canonical >= catalogue::kWheelCount)
        return;

    const catalogue::SourceItem *item = catalogue::item(catalogue::List::Wheels, canonical);
    if (!item)
        return;
    if (item->anyStep || up)
        perform(item->up, control, true);
    else if (down)
        perform(item->down, control, false);
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
