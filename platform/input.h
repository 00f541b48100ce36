// Synthetic keyboard and mouse input, and the cursor position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

struct Point
{
    int x = 0;
    int y = 0;
};

// keybd_event flags.
constexpr std::uint32_t kKeyDown = 0;
constexpr std::uint32_t kKeyExtended = 1; // KEYEVENTF_EXTENDEDKEY
constexpr std::uint32_t kKeyUp = 2;       // KEYEVENTF_KEYUP
constexpr std::uint32_t kKeyExtendedUp = 3;

// mouse_event flags.
constexpr std::uint32_t kMouseLeftDown = 0x0002;
constexpr std::uint32_t kMouseLeftUp = 0x0004;
constexpr std::uint32_t kMouseRightDown = 0x0008;
constexpr std::uint32_t kMouseRightUp = 0x0010;
constexpr std::uint32_t kMouseMiddleDown = 0x0020;
constexpr std::uint32_t kMouseMiddleUp = 0x0040;
constexpr std::uint32_t kMouseXDown = 0x0080;
constexpr std::uint32_t kMouseXUp = 0x0100;
constexpr std::uint32_t kMouseWheel = 0x0800;
constexpr std::uint32_t kMouseHWheel = 0x1000;

// One key of a key combination going down or up.
struct KeyStroke
{
    std::uint8_t virtualKey = 0;
    bool extended = false; // KEYEVENTF_EXTENDEDKEY: keys beyond the main block
    bool up = false;
};

class InputInjector
{
public:
    virtual ~InputInjector() = default;

    // The strokes in order as one batch: SendInput with each key's virtual key,
    // its scan code in the current keyboard layout and, where set, the extended
    // flag. False when the system took fewer than all of them (another
    // program's input blocked them); nothing more is said. This default sends
    // them one by one through keyEvent(). Main thread.
    virtual bool sendKeys(const KeyStroke *strokes, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
            keyEvent(strokes[i].virtualKey,
                     (strokes[i].extended ? kKeyExtended : 0) | (strokes[i].up ? kKeyUp : 0));
        return true;
    }

    // keybd_event(virtualKey, scan code 0, flags, extra information 0).
    // Nothing is reported; the system may drop the event. Main thread.
    virtual void keyEvent(std::uint8_t virtualKey, std::uint32_t flags) = 0;

    // mouse_event(flags, dx 0, dy 0, data, GetMessageExtraInfo() at the call).
    // Main thread.
    virtual void mouseEvent(std::uint32_t flags, std::int32_t data) = 0;

    // GetCursorPos in screen coordinates; (0, 0) when the system refuses.
    virtual Point cursorPos() = 0;

    // Blocks the calling thread for the pauses inside input sequences (Sleep).
    // Fakes record the pause instead of sleeping.
    virtual void pause(int milliseconds) = 0;
};

std::unique_ptr<InputInjector> createInputInjector();

} // namespace platform
