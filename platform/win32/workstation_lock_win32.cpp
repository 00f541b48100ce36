// Locking the workstation.
#include "workstation_lock.h"

#include <windows.h>

namespace platform {
namespace {

class Win32WorkstationLock : public WorkstationLock
{
public:
    bool lock() override { return LockWorkStation() != FALSE; }
};

} // namespace

std::unique_ptr<WorkstationLock> createWorkstationLock()
{
    return std::make_unique<Win32WorkstationLock>();
}

} // namespace platform
