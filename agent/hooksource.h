// The mouse as the system's low-level hook hears it, for machines without the
// filter driver: the six controls turned into the driver's event codes (so that
// the rest of the agent cannot tell the two apart), and the choice, made on the
// hook's thread, of what other programs still get.
#pragma once

#include "mouse_hook.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace agent {
class OpFunConfFile;
}

// Controls by number, a bit each (1 << controls::MidKey, ...).
using ControlBits = std::uint8_t;

// What one hooked event means. Not thread-safe: the hook's thread owns one.
class HookRules
{
public:
    struct Decision
    {
        bool swallow = false;
        int key = 0;   // a driver event code (USBDriver::msgTypeForKey) ...
        int count = 0; // ... reported this many times (wheel notches; 0: none)
    };

    // A control with an assigned function is swallowed and reported; one left at
    // its default passes on to the program under the pointer and is not reported.
    // A button's release goes the way its press went, whatever changed in between
    // (a release whose press this never saw passes). Injected events always pass.
    // Wheels report one code per whole notch (at most kMaxNotches per event),
    // keeping parts of a notch for the next event of the same direction.
    Decision decide(const platform::MouseHookEvent &event, ControlBits assigned);

    static constexpr int kNotch = 120;
    static constexpr int kMaxNotches = 8;

private:
    signed char m_pressWent[4] = {}; // by button: 0 unseen, 1 swallowed, -1 passed
    int m_partial[2] = {};           // by wheel: parts of a notch so far
};

class HookSource : public QObject
{
    Q_OBJECT
public:
    explicit HookSource(platform::MouseHook &hook, QObject *parent = nullptr);
    ~HookSource() override;

    // Reads which controls are assigned, installs the hook and keeps the choice up
    // to date with the settings. False when the system has no hook for us.
    bool start();
    void stop();
    bool isRunning() const { return m_hook.isRunning(); }

    // The controls that count as assigned for the hook's choice (by control
    // number): a function other than "None" or a key combination in the set for
    // all programs, or an entry in some program's set. Main thread.
    static ControlBits assignedControls(agent::OpFunConfFile &settings);
    // Reads the settings again now (start() and a timer do it too).
    void refreshAssignments();

signals:
    // A driver event code, on the main thread, in the order the system sent them.
    void mouseClicked(int key);

private:
    bool filter(const platform::MouseHookEvent &event); // the hook's thread
    void drain();

    platform::MouseHook &m_hook;
    HookRules m_rules; // the hook's thread only
    std::atomic<ControlBits> m_assigned{0};
    std::mutex m_queueMutex;
    std::vector<int> m_queue;
    std::unique_ptr<agent::OpFunConfFile> m_settings;
    QTimer m_refresh;
};
