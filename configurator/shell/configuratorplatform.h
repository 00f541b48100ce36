// The operating-system services the configurator uses. The Qt Quick engine
// creates the configurator's objects without arguments, so they take their
// services from the process-wide set here: the native backend unless a test has
// installed another.
#pragma once

#include "hid.h"
#include "message_window.h"
#include "pairing_wizard.h"
#include "process.h"
#include "programs.h"
#include "shell.h"

#include <QStringList>

#include <functional>
#include <memory>

class WorkerWait;
struct StartOptions;

struct ConfiguratorPlatform
{
    std::shared_ptr<platform::ProcessTable> processes;
    std::shared_ptr<platform::WindowDirectory> windows;
    std::shared_ptr<platform::HidSystem> hid;
    std::shared_ptr<platform::PairingWizard> pairingWizard;
    // A new hidden window for device notifications (one per PairDoWork).
    std::function<std::unique_ptr<platform::MessageWindow>()> createMessageWindow;
    // The waits of a pairing worker (one per PairDoWork).
    std::function<std::unique_ptr<WorkerWait>()> createWorkerWait;
    // Opens the download address the version query names (may be null: nothing opens).
    std::shared_ptr<platform::Shell> shell;
    // The programs with windows open, offered when the user adds a program set
    // (may be null: none are offered).
    std::shared_ptr<platform::ProgramDirectory> programs;

    // What the agent is started with.
    QStringList agentArguments{QString()};

    // The hidden window through which other programs (the uninstaller) end the
    // configurator. Always the system's own: no simulated device replaces it.
    std::function<std::unique_ptr<platform::MessageWindow>()> createCloseWindow;

    // Started at log-in: the window stays hidden while the tray can bring it back.
    bool quietStart = false;
    std::function<bool()> trayAvailable;

    static ConfiguratorPlatform native();
    // The native services, with the receiver and its plug notifications swapped
    // for the simulated receiver when the options ask for it, and the options the
    // agent is to run with.
    static ConfiguratorPlatform forOptions(const StartOptions &options);

    // The set that objects created from now on use. Main thread.
    static const ConfiguratorPlatform &current();
    static void install(ConfiguratorPlatform services);
    static void installNative();
};
