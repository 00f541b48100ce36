// The Win32 input injector seen by low-level hooks, which take every injected event
// and swallow it, so nothing reaches other windows.
#include "input.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <iterator>
#include <tuple>
#include <vector>

namespace {

using namespace platform;

// What a hook saw: message, virtual key or HIWORD(mouseData), extended key.
using Observed = std::tuple<UINT, DWORD, bool>;
std::vector<Observed> g_observed;
std::vector<DWORD> g_scanCodes;

LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto *info = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
    if (code != HC_ACTION || !(info->flags & LLKHF_INJECTED))
        return CallNextHookEx(nullptr, code, wParam, lParam);
    g_scanCodes.push_back(info->scanCode);
    return g_observed.emplace_back(UINT(wParam), info->vkCode, (info->flags & LLKHF_EXTENDED) != 0),
           1;
}

LRESULT CALLBACK mouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto *info = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
    if (code != HC_ACTION || !(info->flags & LLMHF_INJECTED) || wParam == WM_MOUSEMOVE)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    return g_observed.emplace_back(UINT(wParam), HIWORD(info->mouseData), false), 1;
}

// One injector call: key or mouse, its flags, the virtual key or mouse data, and the
// message the hooks should see.
using Step = std::tuple<bool, std::uint32_t, int, UINT>;

struct Hook
{
    HHOOK handle;
    ~Hook() { UnhookWindowsHookEx(handle); }
};

class InputSequences : public ::testing::TestWithParam<std::vector<Step>>
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
    for (const auto &[isKey, flags, data, message] : GetParam()) {
        if (isKey)
            input->keyEvent(std::uint8_t(data), flags);
        else
            input->mouseEvent(flags, data);
        expected.emplace_back(message, isKey ? DWORD(data) : WORD(data),
                              isKey && (flags & kKeyExtended));
    }
    // The hooks run inside this thread's message loop; a surplus event shows too.
    testsupport::pumpUntil([&] { return g_observed.size() >= expected.size(); }, 10000);
    testsupport::pumpUntil([] { return false; }, 100);
    EXPECT_EQ(g_observed, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Win32, InputSequences,
    ::testing::Values(std::vector<Step>{{true, kKeyDown, 0x11, WM_KEYDOWN},
                                        {true, kKeyUp, 0x43, WM_KEYUP}},
                      std::vector<Step>{{true, kKeyExtended, 0xB3, WM_KEYDOWN},
                                        {true, kKeyExtendedUp, 0xB3, WM_KEYUP}},
                      std::vector<Step>{{false, kMouseLeftDown, 0, WM_LBUTTONDOWN},
                                        {false, kMouseLeftUp, 0, WM_LBUTTONUP},
                                        {false, kMouseRightDown, 0, WM_RBUTTONDOWN},
                                        {false, kMouseRightUp, 0, WM_RBUTTONUP},
                                        {false, kMouseMiddleDown, 0, WM_MBUTTONDOWN},
                                        {false, kMouseMiddleUp, 0, WM_MBUTTONUP}},
                      std::vector<Step>{{false, kMouseXDown, XBUTTON2, WM_XBUTTONDOWN},
                                        {false, kMouseXUp, XBUTTON1, WM_XBUTTONUP}},
                      std::vector<Step>{{false, kMouseWheel, 120, WM_MOUSEWHEEL},
                                        {false, kMouseWheel, -120, WM_MOUSEWHEEL}}));

// A combination's keys in one batch: in order, each with its scan code, the
// right-hand Ctrl and the arrow key with the extended flag.
TEST(KeyCombination, GoesOutInOneBatchWithScanCodesAndTheExtendedFlag)
{
    g_observed.clear();
    g_scanCodes.clear();
    const Hook keyboard{
        SetWindowsHookExW(WH_KEYBOARD_LL, &keyboardHook, GetModuleHandleW(nullptr), 0)};
    ASSERT_TRUE(keyboard.handle);
    const KeyStroke strokes[] = {{0xA3, true, false}, {0xA0, false, false}, {0x25, true, false},
                                 {0x25, true, true},  {0xA0, false, true},  {0xA3, true, true}};
    ASSERT_TRUE(createInputInjector()->sendKeys(strokes, std::size(strokes)));
    testsupport::pumpUntil([] { return g_observed.size() >= 6; }, 10000);
    std::vector<Observed> expected;
    std::vector<DWORD> scans;
    for (const KeyStroke &s : strokes) {
        expected.emplace_back(s.up ? WM_KEYUP : WM_KEYDOWN, s.virtualKey, s.extended);
        scans.push_back(MapVirtualKeyW(s.virtualKey, MAPVK_VK_TO_VSC));
    }
    EXPECT_EQ(g_observed, expected);
    EXPECT_EQ(g_scanCodes, scans);
}

TEST(CursorPosition, IsReadInScreenCoordinates)
{
    ASSERT_TRUE(SetCursorPos(123, 456));
    const Point read = createInputInjector()->cursorPos();
    EXPECT_EQ(std::make_pair(read.x, read.y), std::make_pair(123, 456));
}

} // namespace
