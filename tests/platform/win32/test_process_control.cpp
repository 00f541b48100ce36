// The Win32 single-instance lock, the agent's close window and the driver-absent path.
#include "filter_device.h"
#include "instance_lock.h"
#include "message_window.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(InstanceLock, HeldOnceAndFullyReleasedWithItsHolder)
{
    auto first = platform::createInstanceLock();
    ASSERT_EQ(first->acquire("VelkoOptionsTestLock"), platform::LockResult::Acquired);
    EXPECT_EQ(platform::createInstanceLock()->acquire("VelkoOptionsTestLock"),
              platform::LockResult::AlreadyHeld);
    first.reset();
    // No duplicate handle kept the mutex alive.
    HANDLE h = OpenMutexW(SYNCHRONIZE, FALSE, L"VelkoOptionsTestLock");
    EXPECT_EQ(h, nullptr);
    if (h)
        CloseHandle(h);
    EXPECT_EQ(platform::createInstanceLock()->acquire("VelkoOptionsTestLock"),
              platform::LockResult::Acquired);
}

TEST(MessageWindow, InvisibleFoundByTitleAndClosedFromAnotherThread)
{
    auto window = platform::createMessageWindow();
    ASSERT_TRUE(window->create("VelkoOptionsTestWindow"));
    const HWND hwnd = FindWindowW(nullptr, L"VelkoOptionsTestWindow");
    EXPECT_TRUE(hwnd && !IsWindowVisible(hwnd) && !GetParent(hwnd));
    std::atomic<int> closes{0}, result{-1};
    window->setCloseHandler([&] { ++closes; });
    auto directory = platform::createWindowDirectory();
    EXPECT_FALSE(directory->exists("VelkoOptionsTestWindo"));
    std::thread requester(
        [&] { result = int(directory->requestClose("VelkoOptionsTestWindow", 5000)); });
    // The window belongs to this thread: the request is handled while it pumps.
    testsupport::pumpUntil([&] { return result.load() >= 0; }, 5000);
    requester.join();
    EXPECT_EQ(result.load(), int(platform::CloseResult::Closed));
    EXPECT_EQ(closes.load(), 1);
    EXPECT_TRUE(directory->exists("VelkoOptionsTestWindow")); // its owner decides
    EXPECT_EQ(directory->requestClose("NoSuchVelkoWindow", 100), platform::CloseResult::NotFound);
}

TEST(MessageWindow, CloseRequestToAHungOwnerTimesOut)
{
    auto window = platform::createMessageWindow();
    ASSERT_TRUE(window->create("VelkoOptionsHungWindow"));
    const DWORD start = GetTickCount();
    // Nobody pumps this thread's messages while the request waits.
    std::thread([&] {
        EXPECT_EQ(platform::createWindowDirectory()->requestClose("VelkoOptionsHungWindow", 300),
                  platform::CloseResult::TimedOut);
    }).join();
    EXPECT_LT(GetTickCount() - start, 3000u);
    testsupport::pumpUntil([] { return false; }, 20);
}

TEST(FilterDevice, AbsentDriverFailsCleanlyAndTheSemaphoreWakesTheWaiter)
{
    auto device = platform::createFilterDevice();
    ASSERT_TRUE(device->createSemaphore(8000));
    EXPECT_NE(device->semaphoreToken(), 0u);
    EXPECT_FALSE(device->open() || device->isOpen());
    const std::uint32_t zero = 0;
    const platform::ControlResult r = device->control(platform::kIoctlSetMsFilter, &zero, nullptr);
    EXPECT_TRUE(!r.ok && r.error != 0);

    std::atomic<bool> woke{false};
    std::thread waiter([&] { woke = device->waitSemaphore(); });
    Sleep(50);
    EXPECT_FALSE(woke.load());
    device->releaseSemaphore();
    waiter.join();
    EXPECT_TRUE(woke.load());
    device->closeSemaphore();
    EXPECT_FALSE(device->waitSemaphore());
    device->close();
}

} // namespace
