// Synthetic input through the legacy injection calls keybd_event and mouse_event;
// key combinations through SendInput, one batch per call.
#include "input.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

class Win32InputInjector : public InputInjector
{
public:
    void keyEvent(std::uint8_t virtualKey, std::uint32_t flags) override
    {
        keybd_event(virtualKey, 0, flags, 0);
    }

    bool sendKeys(const KeyStroke *strokes, std::size_t count) override
    {
        std::vector<INPUT> inputs(count);
        for (std::size_t i = 0; i < count; ++i) {
            INPUT &in = inputs[i];
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = strokes[i].virtualKey;
            in.ki.wScan = WORD(MapVirtualKeyW(strokes[i].virtualKey, MAPVK_VK_TO_VSC));
            in.ki.dwFlags = (strokes[i].extended ? KEYEVENTF_EXTENDEDKEY : 0) |
                            (strokes[i].up ? KEYEVENTF_KEYUP : 0);
            in.ki.dwExtraInfo = GetMessageExtraInfo();
        }
        return count == 0 ||
               SendInput(UINT(count), inputs.data(), int(sizeof(INPUT))) == UINT(count);
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
