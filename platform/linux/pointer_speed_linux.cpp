// The pointer speed on Linux comes with the later port.
#include "pointer_speed.h"
#include "unavailable.h"

namespace platform {
namespace {

class LinuxPointerSpeed : public PointerSpeed
{
public:
    bool setSpeed(int) override
    {
        linuxport::reportUnavailable("pointer speed");
        return false;
    }
    bool speed(int &) override
    {
        linuxport::reportUnavailable("pointer speed");
        return false;
    }
};

} // namespace

std::unique_ptr<PointerSpeed> createPointerSpeed()
{
    return std::make_unique<LinuxPointerSpeed>();
}

} // namespace platform
