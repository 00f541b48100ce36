#include "pairing_wizard.h"

#include <windows.h>
#include <shellapi.h>

namespace platform {
namespace {

class Win32PairingWizard : public PairingWizard
{
public:
    void open() override
    {
        ShellExecuteW(nullptr, L"open", L"DevicePairingWizard.exe", nullptr, nullptr,
                      SW_SHOWDEFAULT);
    }
};

} // namespace

std::unique_ptr<PairingWizard> createPairingWizard()
{
    return std::make_unique<Win32PairingWizard>();
}

} // namespace platform
