// The operating-system services the agent uses. Production takes the native
// backend; tests hand in fakes.
#pragma once

#include "filter_device.h"
#include "hid.h"
#include "input.h"
#include "instance_lock.h"
#include "message_window.h"
#include "shell.h"
#include "window_system.h"

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

    static AgentPlatform native();
};
