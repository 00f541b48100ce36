// The display gamma ramp on Linux comes with the later port.
#include "display_gamma.h"
#include "unavailable.h"

namespace platform {
namespace {

class LinuxDisplayGamma : public DisplayGamma
{
public:
    bool load() override
    {
        linuxport::reportUnavailable("display gamma ramp");
        return false;
    }
    bool setRamp(const GammaRamp &) override { return load(); }
    bool ramp(GammaRamp &) override { return load(); }
};

} // namespace

std::unique_ptr<DisplayGamma> createDisplayGamma()
{
    return std::make_unique<LinuxDisplayGamma>();
}

} // namespace platform
