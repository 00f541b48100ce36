// Ending the session or the system through logind, with the user's own rights:
// log off terminates this session; shut down and restart ask logind to power
// off or reboot with interactive authorisation, so that where other users are
// logged in or a program holds an inhibitor, the system asks instead of
// forcing. The Windows force flags have no counterpart and are not passed on.
#include "power.h"
#include "logind_linux.h"

#include <QDebug>

#include <sys/utsname.h>

#include <cstdio>

namespace platform {
namespace {

const QString kManager = QStringLiteral("/org/freedesktop/login1");

class LinuxPower : public Power
{
public:
    // The kernel's release ("6.1.0" gives 6, 1, 0); the platform is not Windows NT,
    // so no shutdown privilege is asked for.
    bool osVersion(OsVersion &out) override
    {
        utsname name{};
        if (::uname(&name) != 0)
            return false;
        out = {};
        std::sscanf(name.release, "%u.%u.%u", &out.major, &out.minor, &out.build);
        return true;
    }
    bool enableShutdownPrivilege() override { return false; } // rights are logind's to grant
    bool exitWindows(std::uint32_t flags, std::uint32_t) override
    {
        if (flags & kEwxReboot)
            return linuxport::callLogind(kManager, QStringLiteral("Manager"),
                                         QStringLiteral("Reboot"), {true});
        if (flags & kEwxShutdown)
            return linuxport::callLogind(kManager, QStringLiteral("Manager"),
                                         QStringLiteral("PowerOff"), {true});
        return linuxport::callLogind(kManager, QStringLiteral("Manager"),
                                     QStringLiteral("TerminateSession"), {linuxport::sessionId()});
    }
};

} // namespace

std::unique_ptr<Power> createPower()
{
    return std::make_unique<LinuxPower>();
}

} // namespace platform
