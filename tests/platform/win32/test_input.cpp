// The Win32 input injector against the system's own view of the input: every
// synthesised event is observed by low-level keyboard and mouse hooks (with the
// injected flag) and swallowed there, so nothing reaches other windows.
#include "input.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct Observed
{
    UINT message = 0; // WM_KEYDOWN, WM_LBUTTONUP, WM_MOUSEWHEEL, ...
    DWORD code = 0;   // virtual key (keyboard) or HIWORD(mouseData) (mouse)
    bool extended = false;
    bool injected = false;

    bool operator==(const Observed &o) const
    {
        return message == o.message && code == o.code && extended == o.extended &&
               injected == o.injected;
    }
};

void PrintTo(const Observed &o, std::ostream *os)
{
    *os << "{msg 0x" << std::hex << o.message << ", code 0x" << o.code << std::dec
        << (o.extended ? ", extended" : "") << (o.injected ? ", injected" : "") << "}";
}

std::vector<Observed> g_observed;

LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto *info = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        if (info->flags & LLKHF_INJECTED) {
            g_observed.push_back(
                {UINT(wParam), info->vkCode, (info->flags & LLKHF_EXTENDED) != 0, true});
            return 1; // swallowed: no window sees the test's keys
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK mouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto *info = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
        if ((info->flags & LLMHF_INJECTED) && wParam != WM_MOUSEMOVE) {
            g_observed.push_back({UINT(wParam), HIWORD(info->mouseData), false, true});
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class InputInjectorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_observed.clear();
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        m_keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, &keyboardHook, instance, 0);
        m_mouse = SetWindowsHookExW(WH_MOUSE_LL, &mouseHook, instance, 0);
        ASSERT_NE(m_keyboard, nullptr);
        ASSERT_NE(m_mouse, nullptr);
        m_input = platform::createInputInjector();
    }
    void TearDown() override
    {
        if (m_keyboard)
            UnhookWindowsHookEx(m_keyboard);
        if (m_mouse)
            UnhookWindowsHookEx(m_mouse);
    }

    // Pumps this thread's messages (the hooks run inside them) until `count`
    // events were observed or a generous deadline passed.
    void waitFor(std::size_t count)
    {
        const DWORD deadline = GetTickCount() + 10000;
        while (g_observed.size() < count && LONG(deadline - GetTickCount()) > 0) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        // Let a surplus event show up too.
        MSG msg;
        for (int i = 0; i < 5; ++i) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
        }
    }

    HHOOK m_keyboard = nullptr;
    HHOOK m_mouse = nullptr;
    std::unique_ptr<platform::InputInjector> m_input;
};

Observed key(UINT message, DWORD vk, bool extended)
{
    return {message, vk, extended, true};
}

Observed mouse(UINT message, DWORD high = 0)
{
    return {message, high, false, true};
}

struct InputCase
{
    const char *name;
    std::function<void(platform::InputInjector &)> send;
    std::vector<Observed> expected;
};

class InputSequences : public InputInjectorTest, public ::testing::WithParamInterface<InputCase>
{
};

TEST_P(InputSequences, ReachTheSystemAsInjectedEvents)
{
    const InputCase &c = GetParam();
    c.send(*m_input);
    waitFor(c.expected.size());
    EXPECT_EQ(g_observed, c.expected);
}

const WORD kWheelUp = WORD(120);
const WORD kWheelDown = WORD(-120);

INSTANTIATE_TEST_SUITE_P(
    Win32, InputSequences,
    ::testing::Values(InputCase{"CtrlC",
                                [](platform::InputInjector &in) {
                                    in.keyEvent(0x11, platform::kKeyDown);
                                    in.keyEvent(0x43, platform::kKeyDown);
                                    in.keyEvent(0x43, platform::kKeyUp);
                                    in.keyEvent(0x11, platform::kKeyUp);
                                },
                                {key(WM_KEYDOWN, 0x11, false), key(WM_KEYDOWN, 0x43, false),
                                 key(WM_KEYUP, 0x43, false), key(WM_KEYUP, 0x11, false)}},
                      InputCase{"ExtendedMediaKey",
                                [](platform::InputInjector &in) {
                                    in.keyEvent(0xB3, platform::kKeyExtended);
                                    in.keyEvent(0xB3, platform::kKeyExtendedUp);
                                },
                                {key(WM_KEYDOWN, 0xB3, true), key(WM_KEYUP, 0xB3, true)}},
                      InputCase{"LeftClick",
                                [](platform::InputInjector &in) {
                                    in.mouseEvent(platform::kMouseLeftDown, 0);
                                    in.mouseEvent(platform::kMouseLeftUp, 0);
                                },
                                {mouse(WM_LBUTTONDOWN), mouse(WM_LBUTTONUP)}},
                      InputCase{"RightAndMiddle",
                                [](platform::InputInjector &in) {
                                    in.mouseEvent(platform::kMouseRightDown, 0);
                                    in.mouseEvent(platform::kMouseRightUp, 0);
                                    in.mouseEvent(platform::kMouseMiddleDown, 0);
                                    in.mouseEvent(platform::kMouseMiddleUp, 0);
                                },
                                {mouse(WM_RBUTTONDOWN), mouse(WM_RBUTTONUP), mouse(WM_MBUTTONDOWN),
                                 mouse(WM_MBUTTONUP)}},
                      InputCase{"XButtonsCarryTheirNumber",
                                [](platform::InputInjector &in) {
                                    in.mouseEvent(platform::kMouseXDown, 2);
                                    in.mouseEvent(platform::kMouseXUp, 2);
                                    in.mouseEvent(platform::kMouseXDown, 1);
                                    in.mouseEvent(platform::kMouseXUp, 1);
                                },
                                {mouse(WM_XBUTTONDOWN, XBUTTON2), mouse(WM_XBUTTONUP, XBUTTON2),
                                 mouse(WM_XBUTTONDOWN, XBUTTON1), mouse(WM_XBUTTONUP, XBUTTON1)}},
                      InputCase{
                          "WheelNotchesKeepTheirSign",
                          [](platform::InputInjector &in) {
                              in.mouseEvent(platform::kMouseWheel, 120);
                              in.mouseEvent(platform::kMouseWheel, -120);
                          },
                          {mouse(WM_MOUSEWHEEL, kWheelUp), mouse(WM_MOUSEWHEEL, kWheelDown)}}),
    [](const ::testing::TestParamInfo<InputCase> &info) { return std::string(info.param.name); });

struct CursorCase
{
    int x;
    int y;
};

class CursorPositions : public ::testing::TestWithParam<CursorCase>
{
};

TEST_P(CursorPositions, AreReadInScreenCoordinates)
{
    const CursorCase c = GetParam();
    ASSERT_TRUE(SetCursorPos(c.x, c.y));
    const platform::Point p = platform::createInputInjector()->cursorPos();
    EXPECT_EQ(p.x, c.x);
    EXPECT_EQ(p.y, c.y);
}

INSTANTIATE_TEST_SUITE_P(Win32, CursorPositions,
                         ::testing::Values(CursorCase{0, 0}, CursorCase{123, 456},
                                           CursorCase{1000, 20}));

} // namespace
