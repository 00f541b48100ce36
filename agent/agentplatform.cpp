#include "agentplatform.h"

#include "recording_services.h"
#include "simulated_mouse.h"
#include "startoptions.h"

namespace {
// How long after entering pairing mode the simulated receiver finds its mouse.
constexpr std::int64_t kSimulatedPairDelayMs = 2000;
} // namespace

AgentPlatform AgentPlatform::native()
{
    AgentPlatform p;
    p.instanceLock = platform::createInstanceLock();
    p.messageWindow = platform::createMessageWindow();
    p.filterDevice = platform::createFilterDevice();
    p.mouseHook = platform::createMouseHook();
    p.hid = platform::createHidSystem();
    p.input = platform::createInputInjector();
    p.windows = platform::createWindowSystem();
    p.shell = platform::createShell();
    p.audio = platform::createAudioSystem();
    p.gamma = platform::createDisplayGamma();
    p.pointerSpeed = platform::createPointerSpeed();
    p.power = platform::createPower();
    p.workstationLock = platform::createWorkstationLock();
    p.programs = platform::createProgramDirectory();
    p.nativeMessages = platform::createNativeMessages();
    return p;
}

AgentPlatform AgentPlatform::forOptions(const StartOptions &options)
{
    AgentPlatform p = native();
    if (!options.simulatedMouse)
        return p;
    auto mouse = std::make_unique<platform::fake::SimulatedMouse>();
    p.simulatedMouse = mouse.get();
    p.filterDevice = std::move(mouse);
    p.hid = std::make_unique<platform::fake::SimulatedReceiver>(kSimulatedPairDelayMs);
    if (!options.recordEffects.isEmpty()) {
        auto log = std::make_shared<platform::fake::EffectLog>(
            options.recordEffects.toLocal8Bit().toStdString());
        // Every service that changes the desktop records instead: a test may
        // assign any function, maximising a window or shutting down included.
        p.input = std::make_unique<platform::fake::LoggingInputInjector>(log);
        p.shell = std::make_unique<platform::fake::LoggingShell>(log);
        p.windows = std::make_unique<platform::fake::LoggingWindowSystem>(std::move(p.windows), log);
        p.audio = std::make_unique<platform::fake::LoggingAudioSystem>(log);
        p.gamma = std::make_unique<platform::fake::LoggingDisplayGamma>(log);
        p.pointerSpeed = std::make_unique<platform::fake::LoggingPointerSpeed>(log);
        p.power = std::make_unique<platform::fake::LoggingPower>(log);
        p.workstationLock = std::make_unique<platform::fake::LoggingWorkstationLock>(log);
    }
    return p;
}
