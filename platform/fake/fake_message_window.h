// In-process message windows, found by title through FakeWindowDirectory.
// Everything runs on the calling thread: a close request calls the handler
// directly, as SendMessage does for a window of the same thread.
#pragma once

#include "message_window.h"

#include <vector>

namespace platform::fake {

class FakeMessageWindow : public MessageWindow
{
public:
    ~FakeMessageWindow() override;

    bool create(const std::string &title) override;
    void setCloseHandler(CloseHandler handler) override { m_onClose = std::move(handler); }
    void setMessageHandler(MessageHandler handler) override { m_onMessage = std::move(handler); }
    std::uint32_t registerUsbInterfaceNotifications() override;

    // Test controls.
    void setCreateFails(bool fails) { m_createFails = fails; }
    void setRegisterError(std::uint32_t error) { m_registerError = error; }
    // Makes close requests time out, as for a hung owner.
    void setHung(bool hung) { m_hung = hung; }

    // Delivers a message as the system would (device broadcasts included).
    void deliver(const WindowMessage &message);
    // Delivers WM_CLOSE. Returns false when the window is hung.
    bool close();

    const std::string &title() const { return m_title; }
    bool isCreated() const { return m_created; }
    bool isRegistered() const { return m_registered; }
    bool isHung() const { return m_hung; }

private:
    std::string m_title;
    bool m_created = false;
    bool m_createFails = false;
    bool m_registered = false;
    bool m_hung = false;
    std::uint32_t m_registerError = 0;
    CloseHandler m_onClose;
    MessageHandler m_onMessage;
};

class FakeWindowDirectory : public WindowDirectory
{
public:
    CloseResult requestClose(const std::string &title, int timeoutMs) override;
    bool exists(const std::string &title) override;

    struct Request
    {
        std::string title;
        int timeoutMs;
    };
    std::vector<Request> requests;

    // The live fake window with this title, or null.
    static FakeMessageWindow *find(const std::string &title);
};

} // namespace platform::fake
