#include "agentplatform.h"

AgentPlatform AgentPlatform::native()
{
    AgentPlatform p;
    p.instanceLock = platform::createInstanceLock();
    p.messageWindow = platform::createMessageWindow();
    p.filterDevice = platform::createFilterDevice();
    p.hid = platform::createHidSystem();
    p.input = platform::createInputInjector();
    p.windows = platform::createWindowSystem();
    p.shell = platform::createShell();
    p.audio = platform::createAudioSystem();
    p.gamma = platform::createDisplayGamma();
    p.pointerSpeed = platform::createPointerSpeed();
    p.power = platform::createPower();
    p.workstationLock = platform::createWorkstationLock();
    p.nativeMessages = platform::createNativeMessages();
    return p;
}
