// The Win32 window service against real windows and ScrollBar controls.
#include "window_system.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using platform::WindowId;

using Received = std::tuple<HWND, UINT, WPARAM, LPARAM>;
std::vector<Received> g_received; // WM_CLOSE, WM_HSCROLL and WM_KEYUP, kept instead of handled

LRESULT CALLBACK recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE || message == WM_HSCROLL || message == WM_KEYUP)
        return g_received.emplace_back(hwnd, message, wParam, lParam), 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const wchar_t kClass[] = L"VelkoWindowSystemTestPane";

// A frame's 400 × 300 client area holds, in creation order: pane with its child inner,
// hbar and vbar.
class WindowSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static const WNDCLASSW wc{
            0,       &recordingProc, 0,       0,       GetModuleHandleW(nullptr),
            nullptr, nullptr,        nullptr, nullptr, kClass};
        static const ATOM registered = RegisterClassW(&wc);
        RECT r{100, 100, 500, 400};
        AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
        frame = create(L"Velko test \u00e9\u4e2d", WS_OVERLAPPEDWINDOW, r, nullptr);
        pane = create(L"pane", WS_CHILD | WS_VISIBLE | WS_HSCROLL, {0, 0, 300, 250}, frame);
        inner = create(L"inner", WS_CHILD | WS_VISIBLE, {10, 10, 60, 60}, pane);
        hbar = create(nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, {0, 260, 300, 277}, frame);
        vbar = create(nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, {380, 0, 397, 250}, frame);
        ASSERT_TRUE(registered && frame && pane && inner && hbar && vbar);
        ClientToScreen(frame, &origin);
        testsupport::pump();
        g_received.clear();
    }
    void TearDown() override { DestroyWindow(frame); }
    static HWND create(const wchar_t *title, DWORD style, RECT r, HWND parent)
    {
        return CreateWindowExW(0, title ? kClass : L"ScrollBar", title, style, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    static WindowId id(HWND hwnd) { return reinterpret_cast<WindowId>(hwnd); }

    std::unique_ptr<platform::WindowSystem> windows = platform::createWindowSystem();
    HWND frame = nullptr, pane = nullptr, inner = nullptr, hbar = nullptr, vbar = nullptr;
    POINT origin{0, 0}; // of the frame's client area on the screen
};

TEST_F(WindowSystemTest, NamesStylesRectanglesAndOrder)
{
    EXPECT_EQ(windows->className(id(pane), 6), "Velko");             // the terminator takes the 6th
    EXPECT_EQ(windows->title(id(frame), 13), "Velko test \xC3\xA9"); // characters, not bytes
    EXPECT_EQ(windows->title(id(hbar)) + windows->className(0), "");
    EXPECT_NE(windows->style(id(pane)) & platform::kWsHScroll, 0u);
    EXPECT_NE(windows->style(id(vbar)) & platform::kSbsVert, 0u);
    platform::Rect r;
    ASSERT_TRUE(windows->screenRect(id(vbar), r));
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}),
              std::vector<int>({origin.x + 380, origin.y, origin.x + 397, origin.y + 250}));
    EXPECT_FALSE(windows->screenRect(0, r));

    EXPECT_EQ(windows->parent(id(inner)), id(pane));
    EXPECT_EQ(windows->parent(id(frame)), 0u);           // top-level, no owner
    EXPECT_EQ(windows->firstChild(id(frame)), id(pane)); // creation order
    EXPECT_EQ(windows->nextSibling(id(vbar)), 0u);
    EXPECT_EQ(windows->previousSibling(id(vbar)), id(hbar));
    EXPECT_EQ(windows->findChild(id(frame), id(pane)), id(hbar));
}

TEST_F(WindowSystemTest, WindowsUnderAPoint)
{
    const platform::Point client =
        windows->screenToClient(id(frame), {origin.x + 150, origin.y + 268});
    EXPECT_EQ(std::make_pair(client.x, client.y), std::make_pair(150, 268));
    EXPECT_EQ(windows->childFromPoint(id(frame), {20, 20}), id(pane));    // direct children only
    EXPECT_EQ(windows->childFromPoint(id(frame), {350, 290}), id(frame)); // over no child
    EXPECT_EQ(windows->childFromPoint(id(frame), {-5, 20}), 0u);          // outside

    ShowWindow(frame, SW_SHOWNORMAL);
    SetWindowPos(frame, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    testsupport::pump();
    EXPECT_EQ(windows->windowFromPoint({origin.x + 30, origin.y + 30}), id(inner)); // the deepest
}

TEST_F(WindowSystemTest, EnumerationIsPreOrderStopsAndFailsForAGoneWindow)
{
    std::vector<WindowId> seen;
    std::uint32_t error = 0;
    auto visitUntil = [&](WindowId last) {
        return [&seen, last](WindowId w) { return seen.push_back(w), w != last; };
    };
    ASSERT_TRUE(windows->enumerateDescendants(id(frame), visitUntil(0), error));
    EXPECT_TRUE(windows->enumerateDescendants(id(frame), visitUntil(id(inner)), error));
    EXPECT_TRUE(windows->enumerateDescendants(id(hbar), visitUntil(0), error)); // no children
    EXPECT_EQ(seen, std::vector<WindowId>(
                        {id(pane), id(inner), id(hbar), id(vbar), id(pane), id(inner)}));
    const HWND gone = create(L"", WS_CHILD, {0, 0, 10, 10}, frame);
    DestroyWindow(gone);
    EXPECT_FALSE(windows->enumerateDescendants(id(gone), visitUntil(0), error));
    EXPECT_EQ(error, std::uint32_t(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowSystemTest, PostedMessagesReachTheWindowProcedure)
{
    ASSERT_TRUE(windows->postMessage(id(pane), platform::kWmHScroll, 1, std::intptr_t(id(hbar))));
    ASSERT_TRUE(windows->postMessage(id(pane), platform::kWmKeyUp, 0x25, 0xC14B0001));
    ASSERT_TRUE(windows->postMessage(id(frame), platform::kWmClose, 0, 0));
    EXPECT_TRUE(g_received.empty()); // posted, not sent
    testsupport::pump();
    EXPECT_EQ(g_received, std::vector<Received>({{pane, WM_HSCROLL, SB_LINERIGHT, LPARAM(hbar)},
                                                 {pane, WM_KEYUP, VK_LEFT, LPARAM(0xC14B0001)},
                                                 {frame, WM_CLOSE, 0, 0}}));
    // Without a window PostMessage would queue to this thread.
    EXPECT_FALSE(windows->postMessage(0, WM_APP + 7, 0, 0));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_APP + 7, WM_APP + 7, PM_REMOVE));
}

TEST_F(WindowSystemTest, MaximiseAndMinimise)
{
    EXPECT_FALSE(windows->showWindow(id(frame), SW_SHOWMAXIMIZED)); // was hidden
    testsupport::pump();
    EXPECT_TRUE(windows->isZoomed(id(frame)));
    EXPECT_TRUE(windows->showWindow(id(frame), SW_MINIMIZE)); // was visible
    testsupport::pump();
    EXPECT_TRUE(IsIconic(frame) && !windows->isZoomed(id(frame)));
}

} // namespace
