// The screen's gamma ramp (GDI), through gdi32's entry points resolved at run time.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace platform {

// Red, green and blue arrays of 256 16-bit entries, as SetDeviceGammaRamp takes them.
struct GammaRamp
{
    std::array<std::uint16_t, 256> red{};
    std::array<std::uint16_t, 256> green{};
    std::array<std::uint16_t, 256> blue{};
};

class DisplayGamma
{
public:
    // Releases the library if it was loaded. Main thread.
    virtual ~DisplayGamma() = default;

    // Loads "gdi32.dll" and resolves "GetDeviceGammaRamp" and "SetDeviceGammaRamp"
    // the first time it is called. Returns whether both resolved; when either did
    // not, the library is released at once and every later call answers false
    // without trying again. Main thread.
    virtual bool load() = 0;

    // GetDC(nullptr), SetDeviceGammaRamp, ReleaseDC. Loads first if needed. Returns
    // false when not loaded, when there is no screen device context, or when the
    // display refuses the ramp. Main thread.
    virtual bool setRamp(const GammaRamp &ramp) = 0;

    // GetDC(nullptr), GetDeviceGammaRamp, ReleaseDC. Same failures as setRamp.
    // Main thread.
    virtual bool ramp(GammaRamp &out) = 0;
};

std::unique_ptr<DisplayGamma> createDisplayGamma();

} // namespace platform
