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

namespace {

// The receiver's window: a message-only window under its title, whose posted
// messages reach the receiver, in order, only when the thread's loop dispatches them.
TEST(NativeMessages, ReceiverWindowTakesPostedMessagesFromTheLoop)
{
    auto messages = platform::createNativeMessages();
    std::vector<std::intptr_t> received;
    const std::uintptr_t window =
        messages->createReceiver("MainWindow", [&](const platform::NativeMessage &m) {
            if (m.message == 0x0464)
                received.push_back(std::intptr_t(m.wParam));
        });
    ASSERT_NE(window, 0u);
    const HWND hwnd = reinterpret_cast<HWND>(window);
    // Not a top-level window (Wine's FindWindowW finds message-only windows too).
    EXPECT_NE(GetAncestor(hwnd, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, nullptr, L"MainWindow"), hwnd);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(messages->createReceiver("MainWindow", [](const platform::NativeMessage &) {}), 0u);

    for (int type : {3, -1, 0})
        EXPECT_TRUE(messages->post(window, 0x0464, std::uintptr_t(std::intptr_t(type)), -1));
    EXPECT_TRUE(received.empty());
    testsupport::pump();
    EXPECT_EQ(received, std::vector<std::intptr_t>({3, -1, 0}));

    messages.reset();
    EXPECT_FALSE(IsWindow(hwnd));
}

} // namespace
