// WH_MOUSE_LL on a thread of its own. The system calls the hook procedure on the
// thread that installed it, from that thread's message loop, and waits for its
// answer (at most LowLevelHooksTimeout); a hook that keeps it waiting is removed
// without notice, so the procedure only decodes and asks the filter.
#include "mouse_hook.h"

#include <windows.h>

#include <atomic>
#include <future>
#include <thread>

namespace platform {
namespace {

constexpr UINT kWatchIntervalMs = 1000;

class Win32MouseHook;
// One hook per process: the procedure has no context argument.
std::atomic<Win32MouseHook *> g_hook{nullptr};

class Win32MouseHook : public MouseHook
{
public:
    ~Win32MouseHook() override { stop(); }

    bool start(Filter filter) override
    {
        if (m_thread.joinable() || !filter)
            return false;
        Win32MouseHook *expected = nullptr;
        if (!g_hook.compare_exchange_strong(expected, this))
            return false;
        m_filter = std::move(filter);
        std::promise<bool> installed;
        std::future<bool> answer = installed.get_future();
        m_thread = std::thread([this, &installed] { run(installed); });
        if (answer.get())
            return true;
        m_thread.join();
        m_filter = nullptr;
        g_hook = nullptr;
        return false;
    }

    void stop() override
    {
        if (!m_thread.joinable())
            return;
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
        m_filter = nullptr;
        g_hook = nullptr;
    }

    bool isRunning() const override { return m_thread.joinable(); }

private:
    static LRESULT CALLBACK procedure(int code, WPARAM message, LPARAM data)
    {
        Win32MouseHook *self = g_hook.load();
        if (code == HC_ACTION && self && self->decide(UINT(message),
                                                      *reinterpret_cast<MSLLHOOKSTRUCT *>(data)))
            return 1;
        return CallNextHookEx(nullptr, code, message, data);
    }

    bool decide(UINT message, const MSLLHOOKSTRUCT &info)
    {
        m_sawEvent = true;
        MouseHookEvent event;
        event.injected = (info.flags & LLMHF_INJECTED) != 0;
        const auto high = SHORT(HIWORD(info.mouseData));
        switch (message) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            event.button = MouseHookButton::Right;
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            event.button = MouseHookButton::Middle;
            break;
        case WM_XBUTTONDOWN:
        case WM_XBUTTONUP:
            if (WORD(high) != XBUTTON1 && WORD(high) != XBUTTON2)
                return false;
            event.button = WORD(high) == XBUTTON1 ? MouseHookButton::Back : MouseHookButton::Forward;
            break;
        case WM_MOUSEWHEEL:
            event.kind = MouseHookEvent::Kind::Wheel;
            event.delta = high;
            break;
        case WM_MOUSEHWHEEL:
            event.kind = MouseHookEvent::Kind::HorizontalWheel;
            event.delta = high;
            break;
        default: // moves and the left button
            return false;
        }
        if (message == WM_RBUTTONUP || message == WM_MBUTTONUP || message == WM_XBUTTONUP)
            event.kind = MouseHookEvent::Kind::ButtonUp;
        return m_filter(event);
    }

    void run(std::promise<bool> &installed)
    {
        m_threadId = GetCurrentThreadId();
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // the queue exists now
        HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, &Win32MouseHook::procedure,
                                       GetModuleHandleW(nullptr), 0);
        installed.set_value(hook != nullptr);
        if (!hook)
            return;
        const UINT_PTR timer = SetTimer(nullptr, 0, kWatchIntervalMs, nullptr);
        POINT lastCursor{};
        GetCursorPos(&lastCursor);
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.message != WM_TIMER || msg.hwnd)
                continue;
            // The pointer moved since the last look but the hook heard nothing: the
            // system has dropped it (a slow answer, a desktop switch). The hook is
            // asked before the pointer moves, on this thread, so no move is missed.
            POINT cursor{};
            const bool moved = GetCursorPos(&cursor) &&
                               (cursor.x != lastCursor.x || cursor.y != lastCursor.y);
            lastCursor = cursor;
            const bool heard = m_sawEvent.exchange(false);
            if (hook && (!moved || heard))
                continue;
            if (hook)
                UnhookWindowsHookEx(hook);
            hook = SetWindowsHookExW(WH_MOUSE_LL, &Win32MouseHook::procedure,
                                     GetModuleHandleW(nullptr), 0);
        }
        KillTimer(nullptr, timer);
        if (hook)
            UnhookWindowsHookEx(hook);
    }

    Filter m_filter;
    std::thread m_thread;
    DWORD m_threadId = 0;
    std::atomic<bool> m_sawEvent{false};
};

} // namespace

std::unique_ptr<MouseHook> createMouseHook()
{
    return std::make_unique<Win32MouseHook>();
}

} // namespace platform
