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
#include "native_messages.h"
#include "pointer_speed.h"
#include "power.h"
#include "shell.h"
#include "window_system.h"
#include "workstation_lock.h"

#include <memory>

struct AgentPlatform
{
    std::unique_ptr<platform::InstanceLock> instanceLock;
    std::unique_ptr<platform::MessageWindow> messageWindow;
    std::unique_ptr<platform::FilterDevice> filterDevice;
    std::unique_ptr<platform::HidSystem> hid;
    std::unique_ptr<platform::InputInjector> input;
    std::unique_ptr<platform::WindowSystem> windows;
    std::unique_ptr<platform::Shell> shell;
    std::unique_ptr<platform::AudioSystem> audio;
    std::unique_ptr<platform::DisplayGamma> gamma;
    std::unique_ptr<platform::PointerSpeed> pointerSpeed;
    std::unique_ptr<platform::Power> power;
    std::unique_ptr<platform::WorkstationLock> workstationLock;
    // Private messages to the main window; may be left null (the routing then
    // defers through the event loop).
    std::unique_ptr<platform::NativeMessages> nativeMessages;

    static AgentPlatform native();
};
