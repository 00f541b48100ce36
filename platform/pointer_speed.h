// The mouse pointer speed of the system (1 slowest to 20 fastest).
#pragma once

#include <memory>

namespace platform {

class PointerSpeed
{
public:
    virtual ~PointerSpeed() = default;

    // SystemParametersInfoW(SPI_SETMOUSESPEED (0x71), 0, speed as the pointer
    // argument, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE): applies and stores the speed
    // for the user. Returns false when the system refuses it (for example outside
    // 1..20). Main thread (the change is broadcast to all top-level windows).
    virtual bool setSpeed(int speed) = 0;

    // SystemParametersInfoW(SPI_GETMOUSESPEED (0x70)). False when the call fails.
    // Any thread.
    virtual bool speed(int &out) = 0;
};

std::unique_ptr<PointerSpeed> createPointerSpeed();

} // namespace platform
