// Synthetic input through the legacy injection calls keybd_event and mouse_event.
#include "input.h"

#include <windows.h>

namespace platform {
namespace {

class Win32InputInjector : public InputInjector
{
public:
    void keyEvent(std::uint8_t virtualKey, std::uint32_t flags) override
    {
        keybd_event(virtualKey, 0, flags, 0);
    }

    void mouseEvent(std::uint32_t flags, std::int32_t data) override
    {
        mouse_event(flags, 0, 0, DWORD(data), GetMessageExtraInfo());
    }

    Point cursorPos() override
    {
        POINT p{};
        if (!GetCursorPos(&p))
            return {};
        return {int(p.x), int(p.y)};
    }

    void pause(int milliseconds) override
    {
        if (milliseconds > 0)
            Sleep(DWORD(milliseconds));
    }
};

} // namespace

std::unique_ptr<InputInjector> createInputInjector()
{
    return std::make_unique<Win32InputInjector>();
}

} // namespace platform
