// The screen's gamma ramp through gdi32's GetDeviceGammaRamp / SetDeviceGammaRamp,
// resolved at run time.
#include "display_gamma.h"

#include <windows.h>

namespace platform {
namespace {

using GammaRampCall = BOOL(WINAPI *)(HDC, LPVOID);

GammaRampCall resolve(HMODULE library, const char *name)
{
    // Through a generic function pointer: FARPROC and the call's type differ.
    return reinterpret_cast<GammaRampCall>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

class Win32DisplayGamma : public DisplayGamma
{
public:
    ~Win32DisplayGamma() override
    {
        if (m_library)
            FreeLibrary(m_library);
    }

    bool load() override
    {
        if (m_state != State::NotLoaded)
            return m_state == State::Loaded;
        m_state = State::Unresolved;
        m_library = LoadLibraryW(L"gdi32.dll");
        if (!m_library)
            return false;
        m_get = resolve(m_library, "GetDeviceGammaRamp");
        m_set = resolve(m_library, "SetDeviceGammaRamp");
        if (!m_get || !m_set) {
            FreeLibrary(m_library);
            m_library = nullptr;
            m_get = m_set = nullptr;
            return false;
        }
        m_state = State::Loaded;
        return true;
    }

    bool setRamp(const GammaRamp &ramp) override
    {
        if (!load())
            return false;
        WORD table[3][256];
        for (std::size_t i = 0; i < 256; ++i) {
            table[0][i] = ramp.red[i];
            table[1][i] = ramp.green[i];
            table[2][i] = ramp.blue[i];
        }
        const HDC dc = GetDC(nullptr);
        if (!dc)
            return false;
        const BOOL applied = m_set(dc, table);
        ReleaseDC(nullptr, dc);
        return applied != FALSE;
    }

    bool ramp(GammaRamp &out) override
    {
        if (!load())
            return false;
        WORD table[3][256] = {};
        const HDC dc = GetDC(nullptr);
        if (!dc)
            return false;
        const BOOL read = m_get(dc, table);
        ReleaseDC(nullptr, dc);
        if (!read)
            return false;
        for (std::size_t i = 0; i < 256; ++i) {
            out.red[i] = table[0][i];
            out.green[i] = table[1][i];
            out.blue[i] = table[2][i];
        }
        return true;
    }

private:
    enum class State { NotLoaded, Loaded, Unresolved };
    State m_state = State::NotLoaded;
    HMODULE m_library = nullptr;
    GammaRampCall m_get = nullptr;
    GammaRampCall m_set = nullptr;
};

} // namespace

std::unique_ptr<DisplayGamma> createDisplayGamma()
{
    return std::make_unique<Win32DisplayGamma>();
}

} // namespace platform
