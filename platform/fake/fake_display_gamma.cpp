#include "fake_display_gamma.h"

namespace platform::fake {

bool FakeDisplayGamma::load()
{
    if (m_state == State::NotLoaded) {
        ++m_loadAttempts;
        m_state = m_resolvable ? State::Loaded : State::Unresolved;
    }
    return m_state == State::Loaded;
}

bool FakeDisplayGamma::setRamp(const GammaRamp &ramp)
{
    if (!load() || m_noDc)
        return false;
    m_applied.push_back(ramp);
    if (m_refuses)
        return false;
    m_current = ramp;
    return true;
}

bool FakeDisplayGamma::ramp(GammaRamp &out)
{
    if (!load() || m_noDc)
        return false;
    out = m_current;
    return true;
}

} // namespace platform::fake
