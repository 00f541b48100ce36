// The system's wizard for pairing Bluetooth devices.
#pragma once

#include <memory>

namespace platform {

class PairingWizard
{
public:
    virtual ~PairingWizard() = default;

    // Asks the shell to start "DevicePairingWizard.exe": ShellExecuteW with no
    // window, the verb "open", no parameters, no working folder and SW_SHOWDEFAULT
    // (10). Fire and forget: a missing wizard is not reported. Main thread.
    virtual void open() = 0;
};

std::unique_ptr<PairingWizard> createPairingWizard();

} // namespace platform
