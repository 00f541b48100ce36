// Locking the screen on Linux comes with the later port.
#include "workstation_lock.h"
#include "unavailable.h"

namespace platform {
namespace {

class LinuxWorkstationLock : public WorkstationLock
{
public:
    bool lock() override
    {
        linuxport::reportUnavailable("workstation lock");
        return false;
    }
};

} // namespace

std::unique_ptr<WorkstationLock> createWorkstationLock()
{
    return std::make_unique<LinuxWorkstationLock>();
}

} // namespace platform
