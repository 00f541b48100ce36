// Private messages to a program's own native window, and the decoding of the
// native messages the toolkit hands to a window's native-event hook.
//
// The agent defers every mouse event through its main window's message queue: it
// posts a private message to its own window and acts on it when the window's
// native-event hook sees it. Where windows cannot receive such messages
// (canPost() false), callers defer through their own event loop instead, which
// keeps the same order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

constexpr std::uint32_t kWmUser = 0x0400; // WM_USER

// One window message: identifier and the two parameters.
struct NativeMessage
{
    std::uintptr_t window = 0; // the native window it was sent to (HWND value)
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class NativeMessages
{
public:
    virtual ~NativeMessages() = default;

    // Whether post() can reach native windows on this system. Constant for the
    // object's life. Any thread.
    virtual bool canPost() const = 0;

    // Posts a message to the native window `window` (the value of the toolkit's
    // window id) without waiting (PostMessageW). Returns false when the post
    // failed: no such window, its thread's queue full, or posting unavailable.
    // Any thread.
    virtual bool post(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;

    // Decodes a native event as the toolkit passes it to a native-event hook:
    // `eventType` names the kind ("windows_generic_MSG" for a Win32 MSG) and
    // `message` points to it. Returns false, leaving `out` alone, for a null
    // pointer or any other kind. Any thread (it only reads the event).
    virtual bool decode(const std::string &eventType, const void *message,
                        NativeMessage &out) const = 0;
};

// The backend chosen by the build.
std::unique_ptr<NativeMessages> createNativeMessages();

} // namespace platform
