// Ending the session from the agent on Linux comes with the later port.
#include "power.h"
#include "unavailable.h"

namespace platform {
namespace {

class LinuxPower : public Power
{
public:
    bool osVersion(OsVersion &) override
    {
        linuxport::reportUnavailable("log off, shut down and restart");
        return false;
    }
    bool enableShutdownPrivilege() override { return false; }
    bool exitWindows(std::uint32_t, std::uint32_t) override
    {
        linuxport::reportUnavailable("log off, shut down and restart");
        return false;
    }
};

} // namespace

std::unique_ptr<Power> createPower()
{
    return std::make_unique<LinuxPower>();
}

} // namespace platform
