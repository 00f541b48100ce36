// The configurator's ear for USB plugging: a hidden native window registered for
// USB device-interface arrivals and removals, which tells whether the mouse's
// receiver came or went.
#pragma once

#include <QObject>

#include <memory>

namespace platform {
class MessageWindow;
struct WindowMessage;
} // namespace platform

class VLNativeEventFilter : public QObject
{
    Q_OBJECT
public:
    // The title of the hidden window (never shown; it must differ from the agent's).
    static const char kWindowTitle[];

    explicit VLNativeEventFilter(std::unique_ptr<platform::MessageWindow> window,
                                 QObject *parent = nullptr);
    ~VLNativeEventFilter() override;

    // Creates the hidden window and registers it for USB device-interface
    // notifications; on failure logs "注册失败" with the system error code, and no
    // notification will arrive.
    void Register();

    // One native message of the window. Only device-interface arrivals and
    // removals matter; every message is left to the system's default handling.
    void handleMessage(const platform::WindowMessage &message);

    // Reads "VID_xxxx&PID_xxxx" (hexadecimal) out of a device name after upper-casing
    // it. False when the name has no such ids.
    static bool parseIds(const QString &name, unsigned &vendorId, unsigned &productId);
    static bool isReceiver(unsigned vendorId, unsigned productId);

signals:
    // true: a receiver arrived; false: a receiver left, or another USB device arrived.
    void sigConnectDev(bool connected);

private:
    std::unique_ptr<platform::MessageWindow> m_window;
};
