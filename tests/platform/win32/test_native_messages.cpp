// Private messages posted to a native window come back, in order, as MSGs decode() reads.
#include "native_messages.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(NativeMessages, PostAndDecodeRoundTrip)
{
    auto messages = platform::createNativeMessages();
    ASSERT_TRUE(messages->canPost());
    const HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
    const auto window = reinterpret_cast<std::uintptr_t>(hwnd);
    for (int type : {-1, 12}) // wParam is the agent's signed event type
        EXPECT_TRUE(messages->post(window, 0x0464, std::uintptr_t(std::intptr_t(type)), -1));
    std::vector<std::intptr_t> types;
    MSG msg;
    for (platform::NativeMessage m; PeekMessageW(&msg, hwnd, 0x0464, 0x0464, PM_REMOVE);
         types.push_back(std::intptr_t(m.wParam))) {
        ASSERT_TRUE(messages->decode(
            types.empty() ? "windows_generic_MSG" : "windows_dispatcher_MSG", &msg, m));
        EXPECT_TRUE(m.window == window && m.message == 0x0464u && m.lParam == -1);
    }
    EXPECT_EQ(types, std::vector<std::intptr_t>({-1, 12}));
    platform::NativeMessage untouched;
    EXPECT_FALSE(messages->decode("xcb_generic_event_t", &msg, untouched) ||
                 messages->decode("windows_generic_MSG", nullptr, untouched));
    EXPECT_EQ(untouched.message, 0u);
    DestroyWindow(hwnd);
    EXPECT_FALSE(messages->post(window, 0x0464, 3, -1));
}

} // namespace
