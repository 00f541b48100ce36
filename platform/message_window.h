// The agent's hidden top-level window and the configurator's way to close it.
//
// The agent publishes one invisible top-level window whose title identifies it to
// the configurator ("VelkoOptions"). A close request from the configurator reaches
// the agent as a call of the close handler; device-interface notifications arrive
// at the same window and reach the device handler.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// One native message as the window received it, already decoded where it is a
// device-interface broadcast.
struct WindowMessage
{
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;

    // Set for WM_DEVICECHANGE whose lParam carries a broadcast header.
    bool hasBroadcast = false;
    std::uint32_t deviceType = 0;  // dbch_devicetype; 5 is a device interface
    std::string interfaceName;     // UTF-8 device interface name, for device type 5
};

constexpr std::uint32_t kWmDeviceChange = 0x0219;
constexpr std::uintptr_t kDbtDeviceArrival = 0x8000;
constexpr std::uintptr_t kDbtDeviceRemoveComplete = 0x8004;
constexpr std::uint32_t kDbtDevtypDeviceInterface = 5;

class MessageWindow
{
public:
    using CloseHandler = std::function<void()>;
    using MessageHandler = std::function<void(const WindowMessage &)>;

    virtual ~MessageWindow() = default;

    // Creates the hidden top-level window with exactly this title (UTF-8). It is
    // never shown. Returns false when the system refuses; then no request reaches
    // the handlers. Main thread only; the handlers also run on the main thread,
    // from its event loop.
    virtual bool create(const std::string &title) = 0;

    // Runs when a close request arrives (WM_CLOSE on Windows). The requester's call
    // returns after the handler has returned. The window itself stays until the
    // object is destroyed.
    virtual void setCloseHandler(CloseHandler handler) = 0;

    // Runs for every native message the window receives, before it is handled.
    virtual void setMessageHandler(MessageHandler handler) = 0;

    // Registers the window for arrival and removal of USB device interfaces
    // (GUID_DEVINTERFACE_USB_DEVICE). Returns 0 on success, otherwise the system
    // error code (also when create() has not succeeded). Main thread only.
    virtual std::uint32_t registerUsbInterfaceNotifications() = 0;
};

std::unique_ptr<MessageWindow> createMessageWindow();

enum class CloseResult {
    Closed,   // the window was found and has handled the request
    NotFound, // no top-level window has this title
    TimedOut  // the owner did not answer within the time-out (hung or busy)
};

// The other side: finding another program's window by its title.
class WindowDirectory
{
public:
    virtual ~WindowDirectory() = default;

    // Finds the top-level window whose title is exactly `title` (FindWindowW without
    // a class name) and asks it to close, waiting at most `timeoutMs` for it to
    // handle the request (SendMessageTimeoutW, WM_CLOSE, SMTO_ABORTIFHUNG).
    // Any thread; blocks the caller for at most the time-out.
    virtual CloseResult requestClose(const std::string &title, int timeoutMs) = 0;

    // True when a top-level window with exactly this title exists. Any thread.
    virtual bool exists(const std::string &title) = 0;
};

std::unique_ptr<WindowDirectory> createWindowDirectory();

} // namespace platform
