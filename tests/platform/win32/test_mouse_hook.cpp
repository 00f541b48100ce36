// The low-level mouse hook against real pointer input: xdotool makes X events in
// the virtual display, which Wine hands to the hook as the mouse's own.
#include "mouse_hook.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

using platform::MouseHookButton;
using platform::MouseHookEvent;
using Kind = MouseHookEvent::Kind;

// Runs xdotool (a Unix program: Wine starts it as one) with these arguments. Wine
// gives no usable exit status for it, so callers wait for what it caused.
void xdotool(const std::string &arguments)
{
    ASSERT_NE(GetFileAttributesW(L"Z:\\usr\\bin\\xdotool"), INVALID_FILE_ATTRIBUTES)
        << "xdotool is not installed (tools/install-deps)";
    std::string command = "/usr/bin/xdotool " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// "M+" "R-" "B+" "F-" for buttons, "W120" "H-120" for wheels, "i" before injected ones.
std::string describe(const MouseHookEvent &e)
{
    std::string text = e.injected ? "i" : "";
    if (e.kind == Kind::Wheel || e.kind == Kind::HorizontalWheel)
        return text + (e.kind == Kind::Wheel ? "W" : "H") + std::to_string(e.delta);
    return text + "RMBF"[int(e.button)] + (e.kind == Kind::ButtonDown ? "+" : "-");
}

// A window under the pointer that notes the mouse messages it gets. Wine hears
// the X server's pointer events only over windows of its own.
struct TargetWindow
{
    TargetWindow()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &TargetWindow::procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VelkoHookTarget";
        RegisterClassW(&wc);
        handle = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"target", WS_POPUP | WS_VISIBLE,
                                 100, 100, 400, 400, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(handle);
        testsupport::pump();
    }
    ~TargetWindow() { DestroyWindow(handle); }
    static LRESULT CALLBACK procedure(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_XBUTTONDOWN || m == WM_MOUSEWHEEL)
            received.push_back(m);
        return DefWindowProcW(w, m, wp, lp);
    }
    HWND handle;
    static std::vector<UINT> received;
};
std::vector<UINT> TargetWindow::received;

class MouseHookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TargetWindow::received.clear();
        hook = platform::createMouseHook();
        ASSERT_TRUE(hook->start([this](const MouseHookEvent &e) {
            std::lock_guard<std::mutex> lock(mutex);
            seen.push_back(describe(e));
            return swallow(e);
        }));
        xdotool("mousemove 300 300");
        ASSERT_TRUE(testsupport::pumpUntil([] {
            POINT p{};
            return GetCursorPos(&p) && p.x == 300 && p.y == 300;
        }, 10000));
    }
    void TearDown() override { hook->stop(); }

    // Pumps this thread's messages until the hook has seen `count` events.
    std::vector<std::string> waitFor(std::size_t count, DWORD timeoutMs = 20000)
    {
        testsupport::pumpUntil([&] {
            std::lock_guard<std::mutex> lock(mutex);
            return seen.size() >= count;
        }, timeoutMs);
        testsupport::pumpUntil([] { return false; }, 200); // what the window gets by now
        std::lock_guard<std::mutex> lock(mutex);
        return seen;
    }

    std::function<bool(const MouseHookEvent &)> swallow = [](const MouseHookEvent &) { return false; };
    std::unique_ptr<platform::MouseHook> hook;
    std::mutex mutex;
    std::vector<std::string> seen;
};

TEST_F(MouseHookTest, TheSixControlsArriveAsTheirEventsAndPassOn)
{
    TargetWindow window;
    // Middle, right, back, forward; wheel up and down; wheel left and right. The
    // left button never reaches the filter.
    xdotool("click 2 click 3 click 8 click 9 click 4 click 5 click 6 click 7 click 1");
    EXPECT_EQ(waitFor(12), (std::vector<std::string>{"M+", "M-", "R+", "R-", "B+", "B-", "F+",
                                                      "F-", "W120", "W-120", "H-120", "H120"}));
    EXPECT_EQ(TargetWindow::received.size(), 6u) << "middle, right, two side keys, two wheel turns";
}

TEST_F(MouseHookTest, SwallowedEventsReachNoWindowAndInjectedOnesAreMarked)
{
    swallow = [](const MouseHookEvent &e) {
        return e.kind == Kind::Wheel || e.button == MouseHookButton::Middle;
    };
    TargetWindow window;
    xdotool("click 2 click 4 click 3");
    EXPECT_EQ(waitFor(5), (std::vector<std::string>{"M+", "M-", "W120", "R+", "R-"}));
    EXPECT_EQ(TargetWindow::received, (std::vector<UINT>{WM_RBUTTONDOWN}));
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_XDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_XUP;
    input[0].mi.mouseData = input[1].mi.mouseData = XBUTTON2;
    ASSERT_EQ(SendInput(2, input, sizeof(INPUT)), 2u);
    EXPECT_EQ(waitFor(7).back(), "iF-");
}

TEST_F(MouseHookTest, TenThousandEventsArriveInOrder)
{
    swallow = [](const MouseHookEvent &) { return true; };
    TargetWindow window; // Wine hears X events only over a window of its own
    xdotool("click --repeat 5000 --delay 1 2");
    const std::vector<std::string> events = waitFor(10000, 120000);
    ASSERT_EQ(events.size(), 10000u);
    for (std::size_t i = 0; i < events.size(); ++i)
        ASSERT_EQ(events[i], i % 2 ? "M-" : "M+") << i;
}

TEST(MouseHook, OneAtATimeAndStoppedTwiceSafely)
{
    auto first = platform::createMouseHook();
    auto second = platform::createMouseHook();
    ASSERT_TRUE(first->start([](const MouseHookEvent &) { return false; }));
    EXPECT_FALSE(second->start([](const MouseHookEvent &) { return false; }));
    first->stop();
    first->stop();
    EXPECT_FALSE(first->isRunning());
    EXPECT_TRUE(second->start([](const MouseHookEvent &) { return false; }));
}

} // namespace
