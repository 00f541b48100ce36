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
#include <functional>
#include <memory>
#include <optional>

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

// A desktop setting that holds one acceleration for every pointer, read and
// written through `read` and `write`; the value from before the first change
// is written back when it is destroyed.
class AccelerationSetting : public PointerSpeed
{
public:
    AccelerationSetting(std::function<std::optional<double>()> read,
                        std::function<bool(double)> write)
        : m_read(std::move(read)), m_write(std::move(write))
    {
    }
    ~AccelerationSetting() override
    {
        if (m_before)
            m_write(*m_before);
    }

    bool setSpeed(int speed) override
    {
        if (speed < kMinPointerSpeed || speed > kMaxPointerSpeed)
            return false;
        const std::optional<double> before = m_before ? m_before : m_read();
        if (!m_write(libinputAcceleration(speed)))
            return false;
        m_before = before;
        return true;
    }

    bool speed(int &out) override
    {
        const std::optional<double> value = m_read();
        if (value)
            out = speedOfAcceleration(*value);
        return bool(value);
    }

private:
    std::function<std::optional<double>()> m_read;
    std::function<bool(double)> m_write;
    std::optional<double> m_before;
};

// Null where the desktop's store or interface is not there (no GNOME schema, no
// KWin input devices, no sway socket). Main thread.
std::unique_ptr<PointerSpeed> createGnomePointerSpeed();
std::unique_ptr<PointerSpeed> createKWinPointerSpeed();
std::unique_ptr<PointerSpeed> createSwayPointerSpeed();

} // namespace platform::linuxport
