// The function dispatcher: turns the catalogue index stored for a control into
// the action that the function performs, each time the control is used.
//
// Key entries act on the key's release (a few also on its press); wheel entries
// act on every step with its direction. The stored index is relative to the
// Windows version class it was written under; under "win8" the dispatcher shifts
// it back to the canonical numbering (catalogue.h). A control without a stored
// entry keeps its own behaviour ("None") under every class.
//
// Program sets: while any set stored in the model file has an entry for the
// control, each of its events asks which window is in front and, when that window
// is new, which program it belongs to; a set for that program with an entry for
// the control decides the function, with that set's parameters. Otherwise the
// default set decides; while no set has an entry for the control (always while
// no set is stored), the program in front is not asked for.
//
// Main thread only, one event at a time. The action objects live as long as the
// dispatcher.
#pragma once

#include "agentconffile.h"
#include "catalogue.h"
#include "cdesktopwithwindow.h"
#include "inputactions.h"
#include "scrollfunction.h"
#include "systemactions.h"

#include "window_system.h"

#include <QObject>
#include <QVector>
#include <QString>

#include <array>
#include <optional>

struct AgentPlatform;

class ProMouseFunc : public QObject
{
    Q_OBJECT
public:
    // Opens the settings files, creates the action objects and determines the
    // Windows version class. The platform must outlive the dispatcher.
    explicit ProMouseFunc(AgentPlatform &platform, QObject *parent = nullptr);
    ~ProMouseFunc() override;

    // A key control (0 middle, 2 side up, 3 side down, 5 right) went down
    // (`released` false) or up. Other control numbers do nothing.
    void onKeyEvent(int control, bool released);
    // One step of a wheel control (1 middle, 4 side), direction "up" or "down".
    // Other control numbers do nothing.
    void onWheelEvent(int control, const QString &direction);

    // Performs the key list's entry `index` (nullopt: no entry stored) for one half
    // of a key event of `control`.
    void runKeyFunction(int control, std::optional<int> index, bool released);
    // Performs the wheel list's entry `index` (nullopt: no entry stored) for one
    // step of `control`.
    void runWheelFunction(int control, std::optional<int> index, const QString &direction);

    // Lets go of every key a key combination holds down (the receiver went away).
    void releaseHeldKeys();

    QString versionClass() const { return m_versionClass; }
    int currentControl() const { return m_currentControl; }
    bool pointerSpeedToggle() const { return m_pointerSpeedToggle; }

    InputActions &inputActions() { return m_input; }
    SystemActions &systemActions() { return m_system; }
    CDesktopWithWindow &desktopActions() { return m_desktop; }
    ScrollFunction &scrollActions() { return m_scroll; }

private:
    // The entry that decides for `control` now, and the parameter set that goes
    // with it (left in the settings accessor).
    std::optional<int> chooseEntry(int control);
    // The program of the window in front, by programsets::matchKey(); the
    // platform is asked for the program only when the window changed.
    const QString &programInFront();

    void keyRelease(int control, int index);
    void keyPress(int control, int index);
    // One half of a key function as the catalogue describes it.
    void perform(const catalogue::Action &action, int control, bool up);
    void openParameter(int panel);
    // The key's own button, one half.
    void ownButton(int control, bool up);
    // The wheel's own movement, one step.
    void ownMovement(int control, bool up);
    // One half of a key event when the control has a key combination; false when
    // it has none and the catalogue decides.
    bool keyCombination(int control, std::optional<int> index, bool released);
    // Lets go of the keys the control's combination holds; false when none.
    bool releaseHeld(int control);

    AgentPlatform &m_platform;
    agent::OpFunConfFile m_settings;
    InputActions m_input;
    SystemActions m_system;
    CDesktopWithWindow m_desktop;
    ScrollFunction m_scroll;
    int m_currentControl = 0;
    bool m_pointerSpeedToggle = false;
    QString m_versionClass;
    platform::WindowId m_frontWindow = 0; // 0 until a window is in front: no program
    QString m_frontProgram;
    std::array<QVector<keycombination::Stroke>, 6> m_held; // by control
};
