// The actions that change system state: master volume and mute, a software
// screen brightness through the display's gamma ramp, the pointer speed, leaving
// the session and locking the workstation. Every operation runs synchronously on
// the main thread and reports nothing to its caller.
#pragma once

#include <QObject>

struct AgentPlatform;

namespace agent {
class OpFunConfFile;
}

class SystemActions : public QObject
{
    Q_OBJECT
public:
    // Initialises COM for the calling (main) thread.
    SystemActions(AgentPlatform &platform, agent::OpFunConfFile &settings,
                  QObject *parent = nullptr);

    // 0: one percent up, 1: one percent down; either unmutes. Any other value
    // does nothing.
    void volumeStep(int direction);
    void toggleMute();

    // Moves the brightness level by one within 0..100 and applies its gamma ramp.
    void brightnessStep(bool up);

    // Applies the control's "main" speed when `toggle` is false and its "self"
    // speed when it is true, then inverts `toggle` (also when nothing applied).
    void togglePointerSpeed(int control, bool &toggle);

    // 0: log off, 1: shut down, 2: restart; programs may still save or ask. Any
    // other kind does nothing.
    void exitWindows(int kind);
    void lockWorkStation();

    // The level this agent last set (starts at 50).
    int brightnessLevel() const;

private:
    AgentPlatform &m_platform;
    agent::OpFunConfFile &m_settings;
    int m_brightness = 50;
    // A function the desktop cannot perform is said so once a run, not at each use.
    void sayUnavailableOnce(bool &said, const char *function, const char *reason);
    bool m_brightnessRefused = false;
    bool m_pointerSpeedRefused = false;
};
