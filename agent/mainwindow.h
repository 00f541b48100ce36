// The agent's hidden main window: owns the device-notification window and the
// function dispatcher, and routes the button events of the event hub to the
// dispatcher.
//
// Each event is deferred through the window's own message queue: onHookMouseMsg
// posts the private message kHookMessage (wParam the button-event code) to the
// window's native window, and the window routes it when the event loop hands it
// back, so the dispatcher and its action always start from the event loop, one
// event at a time, in the order the events arrived. That native window is a plain
// message window of the platform's message service, made at start-up with the
// window's title; the toolkit never makes one for this window, since its first
// native window would load the toolkit's graphics set-up (under Wine, Direct3D
// and a software OpenGL: about 90 MB) just to carry these messages. Where the
// system has no private window messages the deferral goes through the toolkit's
// event loop instead; there (Linux) the window is a plain object
// (agentwindowbase.h).
#pragma once

#include "actions/promousefunc.h"
#include "vlnativeeventfilter.h"

#include "agentwindowbase.h"

#include <cstdint>

struct AgentPlatform;
namespace platform {
class NativeMessages;
struct NativeMessage;
} // namespace platform

class MainWindow : public AgentWindowBase
{
    Q_OBJECT
public:
    // WM_USER + 100: a button event deferred through the window's queue.
    static constexpr std::uint32_t kHookMessage = 0x0464;

    // What one button-event code becomes at the dispatcher.
    struct Route
    {
        enum class Kind { Ignored, Key, Wheel };
        Kind kind = Kind::Ignored;
        int control = -1;
        bool released = false;           // keys: the release half
        const char *direction = nullptr; // wheels: "up" or "down"
        const char *logLine = nullptr;   // the routing's debug line; null for none
    };
    // The route of a button-event code taken as an unsigned number; codes above 11
    // (-1 among them) are ignored.
    static Route routeFor(std::uintptr_t msgType);

    explicit MainWindow(AgentPlatform &platform);
    ~MainWindow() override;

    VLNativeEventFilter &deviceWindow() { return m_deviceWindow; }
    ProMouseFunc &dispatcher() { return m_dispatcher; }

public slots:
    // Logs the event and defers it through the window's queue. Main thread.
    void onHookMouseMsg(int msgType, int msgCode);

    // The native window the events are posted to; 0 when they go through the
    // toolkit's event loop.
    std::uintptr_t hookWindow() const { return m_hookWindow; }

private:
    // Routes kHookMessage, whoever posted it; other messages are left alone.
    void receive(const platform::NativeMessage &message);
    void route(std::uintptr_t msgType);

    platform::NativeMessages *m_messages;
    std::uintptr_t m_hookWindow = 0;
    VLNativeEventFilter m_deviceWindow;
    ProMouseFunc m_dispatcher;
};
