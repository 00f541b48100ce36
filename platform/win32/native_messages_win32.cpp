#include "native_messages.h"
#include "win32_util.h"

namespace platform {
namespace {

class Win32NativeMessages : public NativeMessages
{
public:
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
};

} // namespace

std::unique_ptr<NativeMessages> createNativeMessages()
{
    return std::make_unique<Win32NativeMessages>();
}

} // namespace platform
