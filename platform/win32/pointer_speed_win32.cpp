// The pointer speed through SystemParametersInfoW.
#include "pointer_speed.h"

#include <windows.h>

#include <cstdint>

namespace platform {
namespace {

class Win32PointerSpeed : public PointerSpeed
{
public:
    bool setSpeed(int speed) override
    {
        // SPI_SETMOUSESPEED takes the speed itself in the pointer argument.
        return SystemParametersInfoW(SPI_SETMOUSESPEED, 0,
                                     reinterpret_cast<PVOID>(static_cast<std::intptr_t>(speed)),
                                     SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != FALSE;
    }

    bool speed(int &out) override
    {
        int value = 0;
        if (!SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &value, 0))
            return false;
        out = value;
        return true;
    }
};

} // namespace

std::unique_ptr<PointerSpeed> createPointerSpeed()
{
    return std::make_unique<Win32PointerSpeed>();
}

} // namespace platform
