// Scaling a program's icon down to the size the caller asked for, shared by the
// backends: each source pixel counts once, averaged with its colour weighted by
// its opacity so that transparent pixels do not darken the edges.
#pragma once

#include "programs.h"

#include <algorithm>
#include <cstdint>

namespace platform::detail {

// `icon` fitted into maxSide × maxSide, keeping its proportions; unchanged when
// it already fits or when maxSide is not positive.
inline ProgramIcon scaledDown(ProgramIcon icon, int maxSide)
{
    if (icon.empty() || maxSide <= 0 || (icon.width <= maxSide && icon.height <= maxSide))
        return icon;
    const int sw = icon.width, sh = icon.height;
    const int larger = std::max(sw, sh);
    const int dw = std::max(1, int(std::int64_t(sw) * maxSide / larger));
    const int dh = std::max(1, int(std::int64_t(sh) * maxSide / larger));
    ProgramIcon out;
    out.width = dw;
    out.height = dh;
    out.argb.resize(std::size_t(dw) * std::size_t(dh));
    for (int dy = 0; dy < dh; ++dy) {
        const int y0 = int(std::int64_t(dy) * sh / dh);
        const int y1 = std::max(y0 + 1, int(std::int64_t(dy + 1) * sh / dh));
        for (int dx = 0; dx < dw; ++dx) {
            const int x0 = int(std::int64_t(dx) * sw / dw);
            const int x1 = std::max(x0 + 1, int(std::int64_t(dx + 1) * sw / dw));
            std::uint64_t a = 0, r = 0, g = 0, b = 0, n = 0;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    const std::uint32_t p =
                        icon.argb[std::size_t(y) * std::size_t(sw) + std::size_t(x)];
                    const std::uint32_t pa = p >> 24;
                    a += pa;
                    r += ((p >> 16) & 0xff) * pa;
                    g += ((p >> 8) & 0xff) * pa;
                    b += (p & 0xff) * pa;
                    ++n;
                }
            }
            std::uint32_t pixel = 0;
            if (a) {
                pixel = std::uint32_t((a + n / 2) / n) << 24 | std::uint32_t(r / a) << 16 |
                        std::uint32_t(g / a) << 8 | std::uint32_t(b / a);
            }
            out.argb[std::size_t(dy) * std::size_t(dw) + std::size_t(dx)] = pixel;
        }
    }
    return out;
}

} // namespace platform::detail
