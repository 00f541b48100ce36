#include "configuratorplatform.h"

#include "fake_message_window.h"
#include "simulated_mouse.h"
#include "startoptions.h"
#include "workerwait.h"

#include <QSystemTrayIcon>

namespace {
// How long after entering pairing mode the simulated receiver finds its mouse.
constexpr std::int64_t kSimulatedPairDelayMs = 2000;

ConfiguratorPlatform &slot()
{
    static ConfiguratorPlatform services = ConfiguratorPlatform::native();
    return services;
}
} // namespace

ConfiguratorPlatform ConfiguratorPlatform::native()
{
    ConfiguratorPlatform p;
    p.processes = platform::createProcessTable();
    p.windows = platform::createWindowDirectory();
    p.hid = platform::createHidSystem();
    p.pairingWizard = platform::createPairingWizard();
    p.createMessageWindow = [] { return platform::createMessageWindow(); };
    p.createWorkerWait = [] { return std::make_unique<ThreadWait>(); };
    p.shell = platform::createShell();
    p.programs = platform::createProgramDirectory();
    p.createCloseWindow = [] { return platform::createMessageWindow(); };
    p.trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    return p;
}

ConfiguratorPlatform ConfiguratorPlatform::forOptions(const StartOptions &options)
{
    ConfiguratorPlatform p = native();
    p.agentArguments = options.agentArguments();
    p.quietStart = options.quiet;
    if (!options.simulatedMouse)
        return p;
    p.hid = std::make_shared<platform::fake::SimulatedReceiver>(kSimulatedPairDelayMs);
    // The simulated receiver is never plugged in or out.
    p.createMessageWindow = [] { return std::make_unique<platform::fake::FakeMessageWindow>(); };
    return p;
}

const ConfiguratorPlatform &ConfiguratorPlatform::current()
{
    return slot();
}

void ConfiguratorPlatform::install(ConfiguratorPlatform services)
{
    slot() = std::move(services);
}

void ConfiguratorPlatform::installNative()
{
    slot() = native();
}
