#include "message_window.h"
#include "win32_util.h"

#include <dbt.h>
#include <initguid.h>
#include <usbiodef.h>

namespace platform {
namespace {

const wchar_t kClassName[] = L"VelkoOptionsMessageWindow";

class Win32MessageWindow : public MessageWindow
{
public:
    ~Win32MessageWindow() override
    {
        if (m_notify)
            UnregisterDeviceNotification(m_notify);
        if (m_hwnd) {
            SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
            DestroyWindow(m_hwnd);
        }
    }

    bool create(const std::string &title) override
    {
        if (m_hwnd)
            return true;
        HINSTANCE instance = GetModuleHandleW(nullptr);
        if (!win32::registerWindowClass(kClassName, &Win32MessageWindow::windowProc))
            return false;
        // A top-level overlapped window that is never shown: FindWindowW finds it
        // by title, and WM_DEVICECHANGE reaches it (message-only windows get no
        // broadcasts).
        m_hwnd = CreateWindowExW(0, kClassName, win32::widen(title).c_str(), WS_OVERLAPPEDWINDOW,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                 nullptr, instance, nullptr);
        if (!m_hwnd)
            return false;
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        return true;
    }

    void setCloseHandler(CloseHandler handler) override { m_onClose = std::move(handler); }
    void setMessageHandler(MessageHandler handler) override { m_onMessage = std::move(handler); }

    std::uint32_t registerUsbInterfaceNotifications() override
    {
        if (!m_hwnd)
            return ERROR_INVALID_WINDOW_HANDLE;
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof(filter); // 32 bytes
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_reserved = 0;
        filter.dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
        m_notify = RegisterDeviceNotificationW(m_hwnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        return m_notify ? 0 : GetLastError();
    }

    static WindowMessage decode(UINT msg, WPARAM wParam, LPARAM lParam)
    {
        WindowMessage m;
        m.message = msg;
        m.wParam = wParam;
        m.lParam = lParam;
        if (msg == WM_DEVICECHANGE && lParam &&
            (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE)) {
            const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(lParam);
            m.hasBroadcast = true;
            m.deviceType = header->dbch_devicetype;
            if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
                const auto *di = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(lParam);
                // The name follows the class GUID and is NUL-terminated; never read
                // past the size the header states.
                const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
                if (header->dbch_size > offset) {
                    const size_t maxChars = (header->dbch_size - offset) / sizeof(wchar_t);
                    size_t n = 0;
                    while (n < maxChars && di->dbcc_name[n] != L'\0')
                        ++n;
                    m.interfaceName = win32::narrow(di->dbcc_name, int(n));
                }
            }
        }
        return m;
    }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto *self = reinterpret_cast<Win32MessageWindow *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) {
            if (self->m_onMessage)
                self->m_onMessage(decode(msg, wParam, lParam));
            if (msg == WM_CLOSE) {
                if (self->m_onClose)
                    self->m_onClose();
                return 0;
            }
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    HWND m_hwnd = nullptr;
    HDEVNOTIFY m_notify = nullptr;
    CloseHandler m_onClose;
    MessageHandler m_onMessage;
};

} // namespace

std::unique_ptr<MessageWindow> createMessageWindow()
{
    return std::make_unique<Win32MessageWindow>();
}

namespace {
class Win32WindowDirectory : public WindowDirectory
{
public:
    CloseResult requestClose(const std::string &title, int timeoutMs) override
    {
        HWND hwnd = FindWindowW(nullptr, win32::widen(title).c_str());
        if (!hwnd)
            return CloseResult::NotFound;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(hwnd, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, UINT(timeoutMs),
                                 &result))
            return CloseResult::TimedOut;
        return CloseResult::Closed;
    }

    bool exists(const std::string &title) override
    {
        return FindWindowW(nullptr, win32::widen(title).c_str()) != nullptr;
    }
};
} // namespace

std::unique_ptr<WindowDirectory> createWindowDirectory()
{
    return std::make_unique<Win32WindowDirectory>();
}

namespace win32 {
// Exposed for tests: decodes a message as the window procedure does.
WindowMessage decodeWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return Win32MessageWindow::decode(msg, wParam, lParam);
}
} // namespace win32

} // namespace platform
