// Locking the workstation (the log-on screen takes over the display).
#pragma once

#include <memory>

namespace platform {

class WorkstationLock
{
public:
    virtual ~WorkstationLock() = default;

    // LockWorkStation. Returns false when the request was refused; the lock itself
    // happens asynchronously. Main thread.
    virtual bool lock() = 0;
};

std::unique_ptr<WorkstationLock> createWorkstationLock();

} // namespace platform
