// Private messages posted to a native window come back, in order, as MSGs that
// decode() reads.
#include "native_messages.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace {

class NativeMessages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        messages = platform::createNativeMessages();
        hwnd = CreateWindowExW(0, L"STATIC", L"VelkoNativeMessagesTest", WS_OVERLAPPED, 0, 0, 10,
                               10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override
    {
        if (hwnd)
            DestroyWindow(hwnd);
    }

    // The decoded messages of `message` waiting for the window, oldest first.
    std::vector<platform::NativeMessage> drain(UINT message)
    {
        std::vector<platform::NativeMessage> out;
        MSG msg;
        while (PeekMessageW(&msg, hwnd, message, message, PM_REMOVE)) {
            platform::NativeMessage m;
            EXPECT_TRUE(messages->decode("windows_generic_MSG", &msg, m));
            out.push_back(m);
        }
        return out;
    }

    std::unique_ptr<platform::NativeMessages> messages;
    HWND hwnd = nullptr;
};

TEST_F(NativeMessages, PostsReachTheWindowInOrder)
{
    ASSERT_TRUE(messages->canPost());
    const auto window = reinterpret_cast<std::uintptr_t>(hwnd);
    for (int type = -1; type <= 12; ++type)
        EXPECT_TRUE(messages->post(window, 0x0464, std::uintptr_t(std::intptr_t(type)), -1));
    const auto received = drain(0x0464);
    ASSERT_EQ(received.size(), 14u);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(received[i].window, window);
        EXPECT_EQ(received[i].message, 0x0464u);
        EXPECT_EQ(std::intptr_t(received[i].wParam), std::intptr_t(i - 1));
        EXPECT_EQ(received[i].lParam, -1);
    }
}

TEST_F(NativeMessages, PostToAMissingWindowFails)
{
    const auto window = reinterpret_cast<std::uintptr_t>(hwnd);
    DestroyWindow(hwnd);
    hwnd = nullptr;
    EXPECT_FALSE(messages->post(window, 0x0464, 3, -1));
}

TEST_F(NativeMessages, DecodeAcceptsOnlyWindowMessages)
{
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = 0x0464;
    msg.wParam = 11;
    msg.lParam = -1;
    platform::NativeMessage m;
    m.message = 7;
    EXPECT_FALSE(messages->decode("xcb_generic_event_t", &msg, m));
    EXPECT_FALSE(messages->decode("windows_generic_MSG", nullptr, m));
    EXPECT_EQ(m.message, 7u);
    ASSERT_TRUE(messages->decode("windows_dispatcher_MSG", &msg, m));
    EXPECT_EQ(m.message, 0x0464u);
    EXPECT_EQ(m.wParam, 11u);
    EXPECT_EQ(m.lParam, -1);
    EXPECT_EQ(m.window, reinterpret_cast<std::uintptr_t>(hwnd));
}

} // namespace
