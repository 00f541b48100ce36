// The agent's invisible device-notification window. Its native window carries the
// title "VelkoOptions", by which the configurator finds and closes the agent, and
// receives the USB plug notifications that are logged here.
#pragma once

#include "agentwindowbase.h"

namespace platform {
class HidSystem;
class MessageWindow;
struct WindowMessage;
} // namespace platform

class VLNativeEventFilter : public AgentWidgetBase
{
    Q_OBJECT
public:
    // Creates the native window; a close request quits the application.
    VLNativeEventFilter(platform::MessageWindow &window, platform::HidSystem &hid,
                        AgentWidgetBase *parent = nullptr);

    // Registers for USB device-interface arrival and removal; logs "注册失败" and
    // the system error code on failure.
    void registerDeviceNotify();

    // Whether a receiver (vendor 0x2F6B, product 0x1812 or 0x1813) is present.
    bool CheckDevice();

    // One native message of the window: logged, and plug events of the receiver
    // are reported. Public so that tests can feed messages.
    void handleMessage(const platform::WindowMessage &message);

    // Parses "VID_xxxx&PID_xxxx" out of an interface name, upper-cased first.
    // False when the pattern does not match.
    static bool parseIds(const QString &name, unsigned &vendorId, unsigned &productId);

signals:
    // A receiver went away (false); what its keys held must not stay down.
    void sigConnectDev(bool flag);

private:
    platform::MessageWindow &m_window;
    platform::HidSystem &m_hid;
};
