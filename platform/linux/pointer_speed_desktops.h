// The pointer speed where a Wayland desktop owns it: GNOME in its settings store
// (org.gnome.desktop.peripherals.mouse speed), KDE Plasma in KWin's input
// devices (pointerAcceleration, over D-Bus), sway through its IPC
// (pointer_accel). All take libinput's acceleration,
// -1 to 1, onto which the 1-20 scale maps as on X11 (libinputAcceleration).
// Each puts back, when it is destroyed, the value in force before its first
// change.
#pragma once

#include "pointer_speed.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace platform::linuxport {

constexpr int kMinPointerSpeed = 1;
constexpr int kMaxPointerSpeed = 20;

// 10, the Windows default, is libinput's 0 (the device's own speed); each step
// is a tenth, capped at 1.
inline double libinputAcceleration(int speed) { return std::min(1.0, (speed - 10) / 10.0); }
inline int speedOfAcceleration(double acceleration)
{
    return std::clamp(int(std::lround(acceleration * 10 + 10)), kMinPointerSpeed, kMaxPointerSpeed);
}

// Null where the desktop's store or interface is not there (no GNOME schema, no
// KWin input devices, no sway socket). Main thread.
std::unique_ptr<PointerSpeed> createGnomePointerSpeed();
std::unique_ptr<PointerSpeed> createKWinPointerSpeed();
std::unique_ptr<PointerSpeed> createSwayPointerSpeed();

} // namespace platform::linuxport
