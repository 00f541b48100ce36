// The Win32 single-instance lock, the agent's close window and the driver-absent
// path, against the real system (under Wine in CI).
#include "filter_device.h"
#include "instance_lock.h"
#include "message_window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

namespace {

void pumpMessages(int milliseconds)
{
    const DWORD end = GetTickCount() + DWORD(milliseconds);
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

TEST(InstanceLock, SecondAcquireOfTheSameNameIsAlreadyHeld)
{
    auto first = platform::createInstanceLock();
    auto second = platform::createInstanceLock();
    EXPECT_EQ(first->acquire("VelkoOptionsTestLock"), platform::LockResult::Acquired);
    EXPECT_EQ(second->acquire("VelkoOptionsTestLock"), platform::LockResult::AlreadyHeld);
}

TEST(InstanceLock, ReleasedWhenTheHolderIsDestroyed)
{
    {
        auto first = platform::createInstanceLock();
        ASSERT_EQ(first->acquire("VelkoOptionsTestLock2"), platform::LockResult::Acquired);
    }
    auto again = platform::createInstanceLock();
    EXPECT_EQ(again->acquire("VelkoOptionsTestLock2"), platform::LockResult::Acquired);
}

TEST(InstanceLock, TheDuplicateHandleIsClosed)
{
    auto first = platform::createInstanceLock();
    ASSERT_EQ(first->acquire("VelkoOptionsTestLock3"), platform::LockResult::Acquired);
    for (int i = 0; i < 3; ++i) {
        auto other = platform::createInstanceLock();
        EXPECT_EQ(other->acquire("VelkoOptionsTestLock3"), platform::LockResult::AlreadyHeld);
    }
    first.reset();
    // No duplicate kept the mutex alive.
    HANDLE h = OpenMutexW(SYNCHRONIZE, FALSE, L"VelkoOptionsTestLock3");
    EXPECT_EQ(h, nullptr);
    if (h)
        CloseHandle(h);
}

TEST(MessageWindow, FoundByTitleAndClosedFromAnotherThread)
{
    auto window = platform::createMessageWindow();
    ASSERT_TRUE(window->create("VelkoOptionsTestWindow"));
    std::atomic<int> closes{0};
    window->setCloseHandler([&] { ++closes; });

    auto directory = platform::createWindowDirectory();
    EXPECT_TRUE(directory->exists("VelkoOptionsTestWindow"));
    EXPECT_FALSE(directory->exists("VelkoOptionsTestWindo"));

    std::atomic<int> result{-1};
    std::thread requester([&] {
        result = int(directory->requestClose("VelkoOptionsTestWindow", 5000));
    });
    // The window belongs to this thread: the request is handled while it pumps.
    for (int i = 0; i < 200 && result.load() < 0; ++i)
        pumpMessages(10);
    requester.join();
    EXPECT_EQ(result.load(), int(platform::CloseResult::Closed));
    EXPECT_EQ(closes.load(), 1);
    // The window survives the request; its owner decides what to do.
    EXPECT_TRUE(directory->exists("VelkoOptionsTestWindow"));
}

TEST(MessageWindow, CloseRequestToAHungOwnerTimesOut)
{
    auto window = platform::createMessageWindow();
    ASSERT_TRUE(window->create("VelkoOptionsHungWindow"));
    auto directory = platform::createWindowDirectory();
    // Nobody pumps this thread's messages while the request waits.
    const DWORD start = GetTickCount();
    std::atomic<int> result{-1};
    std::thread requester([&] {
        result = int(directory->requestClose("VelkoOptionsHungWindow", 300));
    });
    requester.join();
    EXPECT_EQ(result.load(), int(platform::CloseResult::TimedOut));
    EXPECT_LT(GetTickCount() - start, 3000u);
    pumpMessages(20);
}

TEST(MessageWindow, RequestWithoutWindowIsNotFound)
{
    auto directory = platform::createWindowDirectory();
    EXPECT_EQ(directory->requestClose("NoSuchVelkoWindow", 100), platform::CloseResult::NotFound);
}

TEST(MessageWindow, NeverVisible)
{
    auto window = platform::createMessageWindow();
    ASSERT_TRUE(window->create("VelkoOptionsInvisible"));
    HWND hwnd = FindWindowW(nullptr, L"VelkoOptionsInvisible");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetParent(hwnd), nullptr);
}

TEST(FilterDevice, AbsentDriverFailsCleanly)
{
    auto device = platform::createFilterDevice();
    ASSERT_TRUE(device->createSemaphore(8000));
    EXPECT_NE(device->semaphoreToken(), 0u);
    EXPECT_FALSE(device->open());
    EXPECT_FALSE(device->isOpen());
    const std::uint32_t zero = 0;
    const platform::ControlResult r = device->control(platform::kIoctlSetMsFilter, &zero, nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error, 0u);
    device->close();
}

TEST(FilterDevice, ReleasedSemaphoreWakesTheWaiter)
{
    auto device = platform::createFilterDevice();
    ASSERT_TRUE(device->createSemaphore(8000));
    std::atomic<bool> woke{false};
    std::thread waiter([&] { woke = device->waitSemaphore(); });
    Sleep(50);
    EXPECT_FALSE(woke.load());
    device->releaseSemaphore();
    waiter.join();
    EXPECT_TRUE(woke.load());
    device->closeSemaphore();
    EXPECT_FALSE(device->waitSemaphore());
}

} // namespace
