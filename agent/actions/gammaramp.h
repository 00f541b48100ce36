// The gamma ramp for a software brightness level (plain C++: the Windows backend's
// tests apply the same ramps).
#pragma once

#include "display_gamma.h"

#include <algorithm>

namespace brightness {

constexpr int kMinLevel = 0;
constexpr int kMaxLevel = 100;
constexpr int kStartLevel = 50;

// Entry i of each colour is min(i × (2 × level + 128), 65535): level 64 is the
// identity ramp, 0 half brightness, 100 clipped from entry 200 on. The level is
// clamped to 0..100 first.
inline platform::GammaRamp rampForLevel(int level)
{
    level = std::clamp(level, kMinLevel, kMaxLevel);
    const long slope = 2L * level + 128;
    platform::GammaRamp ramp;
    for (std::size_t i = 0; i < ramp.red.size(); ++i) {
        const auto value = std::uint16_t(std::min(long(i) * slope, 65535L));
        ramp.red[i] = value;
        ramp.green[i] = value;
        ramp.blue[i] = value;
    }
    return ramp;
}

} // namespace brightness
