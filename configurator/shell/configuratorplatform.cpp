#include "configuratorplatform.h"

#include "rulesservices.h"

#include "fake_message_window.h"
#include "simulated_mouse.h"
#include "startoptions.h"
#include "workerwait.h"

#include <QImage>
#include <QSystemTrayIcon>

#include <cstring>

namespace {
// How long after entering pairing mode the simulated receiver finds its mouse.
constexpr std::int64_t kSimulatedPairDelayMs = 2000;
constexpr int kShowNormal = 1; // the shell's "show normal" (SW_SHOWNORMAL)

// The rules' view of the services: the open programs with their icons as
// pictures, and the browser through the shell.
RulesServices rulesServicesOf(const ConfiguratorPlatform &services)
{
    RulesServices rules;
    if (std::shared_ptr<platform::ProgramDirectory> programs = services.programs) {
        rules.openPrograms = [programs](int iconSize) {
            QVector<RunningProgram> open;
            for (const platform::OpenProgram &program : programs->openPrograms(iconSize)) {
                const platform::ProgramIcon &icon = program.icon;
                QImage picture;
                if (!icon.empty() && icon.width > 0 && icon.height > 0 &&
                    icon.argb.size() == size_t(icon.width) * size_t(icon.height)) {
                    picture = QImage(icon.width, icon.height, QImage::Format_ARGB32);
                    for (int y = 0; y < icon.height; ++y)
                        std::memcpy(picture.scanLine(y),
                                    icon.argb.data() + size_t(y) * size_t(icon.width),
                                    size_t(icon.width) * sizeof(std::uint32_t));
                }
                open.append({QString::fromStdString(program.program),
                             QString::fromStdString(program.displayName), picture});
            }
            return open;
        };
        rules.programDetection = [programs] {
            switch (programs->detection()) {
            case platform::ProgramDetection::Available:
                return ProgramDetection::Available;
            case platform::ProgramDetection::NeedsEnabling:
                return ProgramDetection::NeedsEnabling;
            case platform::ProgramDetection::Unavailable:
                break;
            }
            return ProgramDetection::Unavailable;
        };
        rules.enableProgramDetection = [programs] { return programs->enableDetection(); };
    }
    if (std::shared_ptr<platform::Shell> shell = services.shell) {
        rules.openUrl = [shell](const QString &url) {
            shell->open(url.toStdString(), kShowNormal);
        };
    }
    return rules;
}

ConfiguratorPlatform &slot()
{
    static ConfiguratorPlatform services = [] {
        ConfiguratorPlatform native = ConfiguratorPlatform::native();
        RulesServices::install(rulesServicesOf(native));
        return native;
    }();
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
    RulesServices::install(rulesServicesOf(slot()));
}

void ConfiguratorPlatform::installNative()
{
    install(native());
}
