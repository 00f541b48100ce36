#include "native_messages.h"
#include "win32_util.h"

namespace platform {
namespace {

const wchar_t kReceiverClassName[] = L"VelkoOptionsNativeMessages";

class Win32NativeMessages : public NativeMessages
{
public:
    ~Win32NativeMessages() override
    {
        if (m_receiverWindow) {
            // No message reaches the receiver while the window goes.
            SetWindowLongPtrW(m_receiverWindow, GWLP_USERDATA, 0);
            DestroyWindow(m_receiverWindow);
        }
    }

    bool canPost() const override { return true; }

    bool post(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam) override
    {
        return PostMessageW(reinterpret_cast<HWND>(window), message, WPARAM(wParam),
                            LPARAM(lParam)) != FALSE;
    }

    bool decode(const std::string &eventType, const void *message,
                NativeMessage &out) const override
    {
        // The toolkit reports window messages as "windows_generic_MSG" to widgets and
        // as "windows_dispatcher_MSG" to application-wide filters; both carry a MSG.
        if (!message ||
            (eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG"))
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        out.window = reinterpret_cast<std::uintptr_t>(msg->hwnd);
        out.message = msg->message;
        out.wParam = std::uintptr_t(msg->wParam);
        out.lParam = std::intptr_t(msg->lParam);
        return true;
    }

    std::uintptr_t createReceiver(const std::string &title, Receiver receiver) override
    {
        if (m_receiverWindow)
            return 0;
        HINSTANCE instance = GetModuleHandleW(nullptr);
        if (!win32::registerWindowClass(kReceiverClassName, &Win32NativeMessages::receiverProc))
            return 0;
        // A message-only window: it takes posted and sent messages, is never shown,
        // gets no broadcasts and is not enumerated among the top-level windows.
        HWND hwnd = CreateWindowExW(0, kReceiverClassName, win32::widen(title).c_str(), 0, 0, 0, 0,
                                    0, HWND_MESSAGE, nullptr, instance, nullptr);
        if (!hwnd)
            return 0;
        m_receiver = std::move(receiver);
        m_receiverWindow = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        return reinterpret_cast<std::uintptr_t>(hwnd);
    }

private:
    // Runs on the window's thread, from its message loop for posted messages.
    static LRESULT CALLBACK receiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto *self =
            reinterpret_cast<Win32NativeMessages *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && self->m_receiver)
            self->m_receiver(NativeMessage{reinterpret_cast<std::uintptr_t>(hwnd), msg,
                                           std::uintptr_t(wParam), std::intptr_t(lParam)});
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    HWND m_receiverWindow = nullptr;
    Receiver m_receiver;
};

} // namespace

std::unique_ptr<NativeMessages> createNativeMessages()
{
    return std::make_unique<Win32NativeMessages>();
}

} // namespace platform
