// The Win32 input injector against the system's own view of the input: low-level
// keyboard and mouse hooks see every synthesised event with the injected flag and
// swallow it, so nothing reaches other windows.
#include "input.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace platform;

// What a hook saw: message, virtual key or HIWORD(mouseData), extended key.
using Observed = std::tuple<UINT, DWORD, bool>;
std::vector<Observed> g_observed;

LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto *info = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
    if (code != HC_ACTION || !(info->flags & LLKHF_INJECTED))
        return CallNextHookEx(nullptr, code, wParam, lParam);
    g_observed.emplace_back(UINT(wParam), info->vkCode, (info->flags & LLKHF_EXTENDED) != 0);
    return 1;
}

LRESULT CALLBACK mouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto *info = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
    if (code != HC_ACTION || !(info->flags & LLMHF_INJECTED) || wParam == WM_MOUSEMOVE)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    g_observed.emplace_back(UINT(wParam), HIWORD(info->mouseData), false);
    return 1;
}

// One call to the injector and the message the hooks should see for it, with the
// virtual key (and extended flag) or the data in mouseData's high word.
struct Step
{
    bool key;
    std::uint32_t flags;
    int data; // virtual key or mouse data
    UINT message;
};

Step key(int vk, std::uint32_t flags, UINT message)
{
    return {true, flags, vk, message};
}

Step mouse(std::uint32_t flags, UINT message, int data = 0)
{
    return {false, flags, data, message};
}

// Removed again when the test ends.
struct Hook
{
    HHOOK handle;
    ~Hook() { UnhookWindowsHookEx(handle); }
};

using InputCase = std::pair<const char *, std::vector<Step>>;
class InputSequences : public ::testing::TestWithParam<InputCase>
{
};

TEST_P(InputSequences, ReachTheSystemAsInjectedEvents)
{
    g_observed.clear();
    const Hook keyboard{
        SetWindowsHookExW(WH_KEYBOARD_LL, &keyboardHook, GetModuleHandleW(nullptr), 0)};
    const Hook mice{SetWindowsHookExW(WH_MOUSE_LL, &mouseHook, GetModuleHandleW(nullptr), 0)};
    ASSERT_TRUE(keyboard.handle && mice.handle);
    auto input = createInputInjector();
    std::vector<Observed> expected;
    for (const Step &s : GetParam().second) {
        if (s.key)
            input->keyEvent(std::uint8_t(s.data), s.flags);
        else
            input->mouseEvent(s.flags, s.data);
        expected.emplace_back(s.message, s.key ? DWORD(s.data) : WORD(s.data),
                              s.key && (s.flags & kKeyExtended));
    }
    // The hooks run inside this thread's message loop; a surplus event shows too.
    testsupport::pumpUntil([&] { return g_observed.size() >= expected.size(); }, 10000);
    testsupport::pumpUntil([] { return false; }, 100);
    EXPECT_EQ(g_observed, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Win32, InputSequences,
    ::testing::Values(
        InputCase{"CtrlC",
                  {key(0x11, kKeyDown, WM_KEYDOWN), key(0x43, kKeyDown, WM_KEYDOWN),
                   key(0x43, kKeyUp, WM_KEYUP), key(0x11, kKeyUp, WM_KEYUP)}},
        InputCase{"ExtendedMediaKey",
                  {key(0xB3, kKeyExtended, WM_KEYDOWN), key(0xB3, kKeyExtendedUp, WM_KEYUP)}},
        InputCase{"Buttons",
                  {mouse(kMouseLeftDown, WM_LBUTTONDOWN), mouse(kMouseLeftUp, WM_LBUTTONUP),
                   mouse(kMouseRightDown, WM_RBUTTONDOWN), mouse(kMouseRightUp, WM_RBUTTONUP),
                   mouse(kMouseMiddleDown, WM_MBUTTONDOWN), mouse(kMouseMiddleUp, WM_MBUTTONUP)}},
        InputCase{"XButtonsCarryTheirNumber",
                  {mouse(kMouseXDown, WM_XBUTTONDOWN, XBUTTON2),
                   mouse(kMouseXUp, WM_XBUTTONUP, XBUTTON2),
                   mouse(kMouseXDown, WM_XBUTTONDOWN, XBUTTON1),
                   mouse(kMouseXUp, WM_XBUTTONUP, XBUTTON1)}},
        InputCase{
            "WheelNotchesKeepTheirSign",
            {mouse(kMouseWheel, WM_MOUSEWHEEL, 120), mouse(kMouseWheel, WM_MOUSEWHEEL, -120)}}),
    [](const auto &info) { return std::string(info.param.first); });

TEST(CursorPosition, IsReadInScreenCoordinates)
{
    for (const POINT p : {POINT{123, 456}, POINT{1000, 20}}) {
        ASSERT_TRUE(SetCursorPos(p.x, p.y));
        const Point read = createInputInjector()->cursorPos();
        EXPECT_EQ(std::make_pair(read.x, read.y), std::make_pair(int(p.x), int(p.y)));
    }
}

} // namespace
