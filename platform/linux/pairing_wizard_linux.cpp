// The Windows Bluetooth pairing wizard has no counterpart started from here on
// Linux; the desktop's own Bluetooth settings do that job.
#include "pairing_wizard.h"
#include "unavailable.h"

namespace platform {
namespace {

class LinuxPairingWizard : public PairingWizard
{
public:
    void open() override { linuxport::reportUnavailable("Bluetooth pairing wizard"); }
};

} // namespace

std::unique_ptr<PairingWizard> createPairingWizard()
{
    return std::make_unique<LinuxPairingWizard>();
}

} // namespace platform
