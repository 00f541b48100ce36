// Locking the screen through logind: LockSession asks the session's screen
// locker (whatever the desktop runs) to lock.
#include "workstation_lock.h"
#include "logind_linux.h"

namespace platform {
namespace {

class LinuxWorkstationLock : public WorkstationLock
{
public:
    bool lock() override
    {
        return linuxport::callLogind(QStringLiteral("/org/freedesktop/login1"),
                                     QStringLiteral("Manager"), QStringLiteral("LockSession"),
                                     {linuxport::sessionId()});
    }
};

} // namespace

std::unique_ptr<WorkstationLock> createWorkstationLock()
{
    return std::make_unique<LinuxWorkstationLock>();
}

} // namespace platform
