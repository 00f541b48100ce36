// A simulated display gamma ramp.
#pragma once

#include "display_gamma.h"

#include <vector>

namespace platform::fake {

class FakeDisplayGamma : public DisplayGamma
{
public:
    bool load() override;
    bool setRamp(const GammaRamp &ramp) override;
    bool ramp(GammaRamp &out) override;

    // Failure injection: gdi32's entry points missing, no screen device context,
    // a display that refuses ramps.
    void setResolvable(bool resolvable) { m_resolvable = resolvable; }
    void setNoDeviceContext(bool none) { m_noDc = none; }
    void setRefusesRamps(bool refuses) { m_refuses = refuses; }

    int loadAttempts() const { return m_loadAttempts; }
    // Every ramp handed to SetDeviceGammaRamp (refused ones included).
    const std::vector<GammaRamp> &appliedRamps() const { return m_applied; }
    const GammaRamp &current() const { return m_current; }

private:
    enum class State { NotLoaded, Loaded, Unresolved };
    State m_state = State::NotLoaded;
    bool m_resolvable = true;
    bool m_noDc = false;
    bool m_refuses = false;
    int m_loadAttempts = 0;
    std::vector<GammaRamp> m_applied;
    GammaRamp m_current;
};

} // namespace platform::fake
