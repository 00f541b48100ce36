// Gamma tables on wlroots compositors (sway, Hyprland, labwc, river), through
// their gamma-control protocol, for every output that takes one. A table holds
// only while this connection keeps its controls, so the connection stays for
// the life of the process. Main thread.
#pragma once

#include "display_gamma.h"

#include <memory>

namespace platform::linuxport {

class WlrGamma
{
public:
    // Null where there is no Wayland display, the compositor offers no gamma
    // control, or no output takes a table (a headless or virtual output).
    static std::unique_ptr<WlrGamma> connect();
    virtual ~WlrGamma() = default;

    // Sets `ramp` on every output, resampled to each output's table size; false
    // when no output took it.
    virtual bool setRamp(const GammaRamp &ramp) = 0;
};

} // namespace platform::linuxport
