// The operating-system services the agent uses. Production takes the native
// backend; tests hand in fakes.
#pragma once

#include "audio.h"
#include "display_gamma.h"
#include "filter_device.h"
#include "hid.h"
#include "input.h"
#include "instance_lock.h"
#include "message_window.h"
#include "mouse_hook.h"
#include "native_messages.h"
#include "pointer_speed.h"
#include "power.h"
#include "programs.h"
#include "shell.h"
#include "window_system.h"
#include "workstation_lock.h"

#include <memory>

struct StartOptions;
namespace platform::fake {
class SimulatedMouse;
}

struct AgentPlatform
{
    std::unique_ptr<platform::InstanceLock> instanceLock;
    std::unique_ptr<platform::MessageWindow> messageWindow;
    std::unique_ptr<platform::FilterDevice> filterDevice;
    // Heard from when the filter device cannot be opened.
    std::unique_ptr<platform::MouseHook> mouseHook;
    std::unique_ptr<platform::HidSystem> hid;
    std::unique_ptr<platform::InputInjector> input;
    std::unique_ptr<platform::WindowSystem> windows;
    std::unique_ptr<platform::Shell> shell;
    std::unique_ptr<platform::AudioSystem> audio;
    std::unique_ptr<platform::DisplayGamma> gamma;
    std::unique_ptr<platform::PointerSpeed> pointerSpeed;
    std::unique_ptr<platform::Power> power;
    std::unique_ptr<platform::WorkstationLock> workstationLock;
    // The program of the window in front, for program sets; may be left null (no
    // program is ever in front then).
    std::unique_ptr<platform::ProgramDirectory> programs;
    // Private messages to the main window; may be left null (the routing then
    // defers through the event loop).
    std::unique_ptr<platform::NativeMessages> nativeMessages;

    // The simulated mouse when it stands in for the filter driver (then it is
    // `filterDevice`), else null.
    platform::fake::SimulatedMouse *simulatedMouse = nullptr;

    static AgentPlatform native();
    // The native services with the devices swapped for the simulated mouse and
    // receiver when the options ask for them, and the input and shell services for
    // ones that write their effects to a file when they ask for that.
    static AgentPlatform forOptions(const StartOptions &options);
};
