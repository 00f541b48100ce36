// The system's low-level mouse hook: every mouse button and wheel event of the
// session, from any mouse, before any program sees it, with the choice to let it
// on or to swallow it. The agent's second way of hearing the mouse, for machines
// without the filter driver.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

enum class MouseHookButton : std::uint8_t {
    Right,
    Middle,
    Back,    // XBUTTON1, the side key nearer the user
    Forward, // XBUTTON2
};

struct MouseHookEvent
{
    enum class Kind : std::uint8_t { ButtonDown, ButtonUp, Wheel, HorizontalWheel };
    Kind kind = Kind::ButtonDown;
    MouseHookButton button = MouseHookButton::Right; // buttons only
    // Wheels only: 120 per notch; positive away from the user (Wheel) or to the
    // right (HorizontalWheel). Fine-grained wheels send parts of a notch.
    int delta = 0;
    // Made by SendInput or mouse_event in some program (LLMHF_INJECTED).
    bool injected = false;
};

class MouseHook
{
public:
    // Decides one event: true swallows it (no program gets it), false lets it on
    // (CallNextHookEx). Called on the hook's own thread while the system waits for
    // the answer: it must neither block nor take long, or the system drops the hook.
    // The left button and plain moves never reach it.
    using Filter = std::function<bool(const MouseHookEvent &)>;

    virtual ~MouseHook() = default;

    // Installs the hook (WH_MOUSE_LL) on a thread of its own with its own message
    // loop and returns once it is in place. False when the system refuses or has
    // no such hook; nothing is running then. A hook the system removes later
    // (too slow once, session switches) is noticed and installed again, within
    // seconds of the next mouse input. Main thread.
    virtual bool start(Filter filter) = 0;

    // Removes the hook and ends its thread; the filter is not called after this
    // returns. Does nothing when not started. Main thread.
    virtual void stop() = 0;

    virtual bool isRunning() const = 0;
};

// The native hook. On systems without one (Linux, where the filter device always
// opens), start() returns false.
std::unique_ptr<MouseHook> createMouseHook();

} // namespace platform
