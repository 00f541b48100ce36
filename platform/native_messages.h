// Private messages to a program's own native window, and the decoding of the
// native messages the toolkit hands to a window's native-event hook.
//
// The agent defers every mouse event through its main window's message queue: it
// posts a private message to a plain message window of its own (createReceiver)
// and acts on it when the event loop dispatches it to the window's receiver. The
// window is the system's, not the toolkit's: a toolkit window would load the
// toolkit's graphics set-up (under Wine, Direct3D with a software OpenGL of
// ~90 MB) just to carry messages. Where windows cannot receive such messages
// (canPost() false), callers defer through their own event loop instead, which
// keeps the same order.
#pragma once

#include <cstdint>
#include <functional>
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
    using Receiver = std::function<void(const NativeMessage &)>;

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

    // Creates a hidden window that only receives messages, with the title `title`
    // (UTF-8): never shown, and not among the top-level windows (Windows' search
    // by title, FindWindowW, does not find it; Wine's does). Every message posted
    // or sent to it is handed to `receiver` on the calling thread, when that
    // thread's message loop (the toolkit's event loop) dispatches it; the system
    // handles it as usual afterwards. Returns the window for post(), or 0 when
    // posting is unavailable, the system refuses, or a window was already
    // created; then this `receiver` is never called. The window lives as long as
    // this object. Main thread only, once. Backends without private messages keep
    // this default.
    virtual std::uintptr_t createReceiver(const std::string &title, Receiver receiver)
    {
        (void)title, (void)receiver;
        return 0;
    }
};

// The backend chosen by the build.
std::unique_ptr<NativeMessages> createNativeMessages();

} // namespace platform
