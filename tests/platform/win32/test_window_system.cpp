// The Win32 window service against real windows: classes, titles, styles,
// rectangles, the parent/child/sibling order, enumeration, posted messages and
// ShowWindow, with real ScrollBar controls (under Wine in CI).
#include "window_system.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using platform::WindowId;

WindowId id(HWND hwnd)
{
    return reinterpret_cast<WindowId>(hwnd);
}

struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> g_received;

LRESULT CALLBACK recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE || message == WM_HSCROLL || message == WM_KEYDOWN ||
        message == WM_KEYUP || message == WM_APP + 7) {
        g_received.push_back({message, wParam, lParam});
        return 0; // WM_CLOSE is only recorded: the window stays
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const wchar_t kFrameClass[] = L"VelkoWindowSystemTestFrame";
const wchar_t kPaneClass[] = L"VelkoWindowSystemTestPane";

void registerClasses()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &recordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kFrameClass;
    RegisterClassExW(&wc);
    wc.lpszClassName = kPaneClass;
    RegisterClassExW(&wc);
    done = true;
}

void pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A frame with a client area of 400 × 300 and, inside it (client coordinates):
//   pane     (0, 0, 300, 250)  WS_HSCROLL, with its own child "inner" (10, 10, 60, 60)
//   hbar     (0, 260, 300, 277) ScrollBar SBS_HORZ
//   vbar     (380, 0, 397, 250) ScrollBar SBS_VERT
// created in this order.
class WindowSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerClasses();
        HINSTANCE instance = GetModuleHandleW(nullptr);
        RECT r{0, 0, 400, 300};
        AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
        frame = CreateWindowExW(0, kFrameClass, L"Velko test \u00e9\u4e2d", WS_OVERLAPPEDWINDOW,
                                100, 100, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                instance, nullptr);
        ASSERT_NE(frame, nullptr);
        pane = CreateWindowExW(0, kPaneClass, L"pane", WS_CHILD | WS_VISIBLE | WS_HSCROLL, 0, 0,
                               300, 250, frame, nullptr, instance, nullptr);
        inner = CreateWindowExW(0, kPaneClass, L"inner", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50,
                                pane, nullptr, instance, nullptr);
        hbar = CreateWindowExW(0, L"ScrollBar", nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 260,
                               300, 17, frame, nullptr, instance, nullptr);
        vbar = CreateWindowExW(0, L"ScrollBar", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 380, 0,
                               17, 250, frame, nullptr, instance, nullptr);
        ASSERT_TRUE(pane && inner && hbar && vbar);
        pump();
        g_received.clear();
    }

    void TearDown() override
    {
        if (frame)
            DestroyWindow(frame);
        pump();
        g_received.clear();
    }

    POINT clientOrigin() const
    {
        POINT p{0, 0};
        ClientToScreen(frame, &p);
        return p;
    }

    std::unique_ptr<platform::WindowSystem> windows = platform::createWindowSystem();
    HWND frame = nullptr;
    HWND pane = nullptr;
    HWND inner = nullptr;
    HWND hbar = nullptr;
    HWND vbar = nullptr;
};

TEST_F(WindowSystemTest, ClassesTitlesAndStyles)
{
    EXPECT_EQ(windows->className(id(hbar)), "ScrollBar");
    EXPECT_EQ(windows->className(id(pane)), "VelkoWindowSystemTestPane");
    EXPECT_EQ(windows->className(id(frame), 6), "Velko"); // the terminator takes the 6th
    EXPECT_EQ(windows->title(id(frame)), "Velko test \xC3\xA9\xE4\xB8\xAD");
    EXPECT_EQ(windows->title(id(hbar)), "");
    EXPECT_EQ(windows->className(0), "");

    EXPECT_NE(windows->style(id(pane)) & platform::kWsHScroll, 0u);
    EXPECT_EQ(windows->style(id(inner)) & platform::kWsHScroll, 0u);
    EXPECT_EQ(windows->style(id(hbar)) & (platform::kSbsVert | platform::kSbsSizeBox), 0u);
    EXPECT_NE(windows->style(id(vbar)) & platform::kSbsVert, 0u);
}

TEST_F(WindowSystemTest, RectanglesAreInScreenCoordinates)
{
    const POINT origin = clientOrigin();
    struct Row
    {
        HWND window;
        RECT client;
    };
    const Row rows[] = {
        {pane, {0, 0, 300, 250}},
        {hbar, {0, 260, 300, 277}},
        {vbar, {380, 0, 397, 250}},
    };
    for (const Row &row : rows) {
        platform::Rect r;
        ASSERT_TRUE(windows->screenRect(id(row.window), r));
        EXPECT_EQ(r.left, origin.x + row.client.left);
        EXPECT_EQ(r.top, origin.y + row.client.top);
        EXPECT_EQ(r.right, origin.x + row.client.right);
        EXPECT_EQ(r.bottom, origin.y + row.client.bottom);
    }
    platform::Rect hr;
    windows->screenRect(id(hbar), hr);
    EXPECT_GT(hr.width(), hr.height());

    platform::Rect untouched{1, 2, 3, 4};
    EXPECT_FALSE(windows->screenRect(0, untouched));
}

TEST_F(WindowSystemTest, ParentChildAndSiblingOrder)
{
    EXPECT_EQ(windows->parent(id(hbar)), id(frame));
    EXPECT_EQ(windows->parent(id(inner)), id(pane));
    EXPECT_EQ(windows->parent(id(frame)), 0u); // top-level, no owner

    // Children are kept in creation order.
    EXPECT_EQ(windows->firstChild(id(frame)), id(pane));
    EXPECT_EQ(windows->nextSibling(id(pane)), id(hbar));
    EXPECT_EQ(windows->nextSibling(id(hbar)), id(vbar));
    EXPECT_EQ(windows->nextSibling(id(vbar)), 0u);
    EXPECT_EQ(windows->previousSibling(id(vbar)), id(hbar));
    EXPECT_EQ(windows->previousSibling(id(pane)), 0u);
    EXPECT_EQ(windows->firstChild(id(hbar)), 0u);

    EXPECT_EQ(windows->findChild(id(frame), 0), id(pane));
    EXPECT_EQ(windows->findChild(id(frame), id(pane)), id(hbar));
    EXPECT_EQ(windows->findChild(id(frame), id(vbar)), 0u);

    // The service answers what the system answers.
    EXPECT_EQ(windows->nextSibling(id(pane)), id(GetWindow(pane, GW_HWNDNEXT)));
}

TEST_F(WindowSystemTest, ChildFromPointUsesClientCoordinates)
{
    const POINT origin = clientOrigin();
    const platform::Point overBar{origin.x + 150, origin.y + 268};
    const platform::Point client = windows->screenToClient(id(frame), overBar);
    EXPECT_EQ(client.x, 150);
    EXPECT_EQ(client.y, 268);

    struct Row
    {
        platform::Point client;
        HWND expected;
    };
    const Row rows[] = {
        {{150, 268}, hbar},
        {{20, 20}, pane},    // direct children only: not "inner"
        {{350, 290}, frame}, // inside, over no child
        {{-5, 20}, nullptr}, // outside
    };
    for (const Row &row : rows)
        EXPECT_EQ(windows->childFromPoint(id(frame), row.client), id(row.expected))
            << row.client.x << "," << row.client.y;
}

TEST_F(WindowSystemTest, EnumerationIsDepthFirstPreOrder)
{
    std::vector<WindowId> seen;
    std::uint32_t error = 0;
    ASSERT_TRUE(windows->enumerateDescendants(
        id(frame), [&](WindowId w) { return seen.push_back(w), true; }, error));
    const std::vector<WindowId> expected{id(pane), id(inner), id(hbar), id(vbar)};
    EXPECT_EQ(seen, expected);
}

TEST_F(WindowSystemTest, EnumerationStopsWhenTheVisitorSaysSo)
{
    std::vector<WindowId> seen;
    std::uint32_t error = 0;
    EXPECT_TRUE(windows->enumerateDescendants(
        id(frame), [&](WindowId w) { return seen.push_back(w), w != id(inner); }, error));
    const std::vector<WindowId> expected{id(pane), id(inner)};
    EXPECT_EQ(seen, expected);
}

TEST_F(WindowSystemTest, EnumerationOfAWindowWithoutChildrenSucceeds)
{
    int visits = 0;
    std::uint32_t error = 0;
    EXPECT_TRUE(windows->enumerateDescendants(
        id(hbar), [&](WindowId) { return ++visits, true; }, error));
    EXPECT_EQ(visits, 0);
}

TEST_F(WindowSystemTest, EnumerationOfADestroyedWindowFails)
{
    HWND gone = CreateWindowExW(0, kPaneClass, L"", WS_CHILD, 0, 0, 10, 10, frame, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    int visits = 0;
    std::uint32_t error = 0;
    EXPECT_FALSE(windows->enumerateDescendants(
        id(gone), [&](WindowId) { return ++visits, true; }, error));
    EXPECT_EQ(error, std::uint32_t(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(visits, 0);
}

TEST_F(WindowSystemTest, PostedMessagesReachTheWindowProcedure)
{
    ASSERT_TRUE(windows->postMessage(id(pane), platform::kWmHScroll, 1,
                                     static_cast<std::intptr_t>(id(hbar))));
    ASSERT_TRUE(windows->postMessage(id(pane), platform::kWmKeyUp, 0x25,
                                     static_cast<std::intptr_t>(0xC14B0001u)));
    ASSERT_TRUE(windows->postMessage(id(frame), platform::kWmClose, 0, 0));
    EXPECT_TRUE(g_received.empty()); // posted, not sent
    pump();
    ASSERT_EQ(g_received.size(), 3u);
    EXPECT_EQ(g_received[0].message, UINT(WM_HSCROLL));
    EXPECT_EQ(g_received[0].wParam, WPARAM(SB_LINERIGHT));
    EXPECT_EQ(g_received[0].lParam, reinterpret_cast<LPARAM>(hbar));
    EXPECT_EQ(g_received[1].message, UINT(WM_KEYUP));
    EXPECT_EQ(g_received[1].wParam, WPARAM(VK_LEFT));
    EXPECT_EQ(DWORD(g_received[1].lParam), DWORD(0xC14B0001u));
    EXPECT_EQ(g_received[2].message, UINT(WM_CLOSE));
}

TEST_F(WindowSystemTest, NoPostWithoutAWindow)
{
    EXPECT_FALSE(windows->postMessage(0, WM_APP + 7, 0, 0));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_APP + 7, WM_APP + 7, PM_REMOVE));

    HWND gone = CreateWindowExW(0, kPaneClass, L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(windows->postMessage(id(gone), WM_APP + 7, 0, 0));
}

TEST_F(WindowSystemTest, MaximiseAndMinimise)
{
    EXPECT_FALSE(windows->isZoomed(id(frame)));
    EXPECT_FALSE(windows->showWindow(id(frame), SW_SHOWMAXIMIZED)); // was hidden
    pump();
    EXPECT_TRUE(windows->isZoomed(id(frame)));
    EXPECT_TRUE(IsZoomed(frame));

    EXPECT_TRUE(windows->showWindow(id(frame), SW_MINIMIZE)); // was visible
    pump();
    EXPECT_TRUE(IsIconic(frame));
    EXPECT_FALSE(windows->isZoomed(id(frame)));

    EXPECT_FALSE(windows->isZoomed(0));
    EXPECT_FALSE(windows->showWindow(0, SW_SHOWMAXIMIZED));
}

TEST_F(WindowSystemTest, DesktopAndWindowUnderThePoint)
{
    EXPECT_EQ(windows->desktopWindow(), id(GetDesktopWindow()));
    ShowWindow(frame, SW_SHOWNORMAL);
    SetWindowPos(frame, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    pump();
    const POINT origin = clientOrigin();
    EXPECT_EQ(windows->windowFromPoint({origin.x + 150, origin.y + 268}), id(hbar));
    EXPECT_EQ(windows->windowFromPoint({origin.x + 30, origin.y + 30}), id(inner));
    EXPECT_EQ(windows->windowFromPoint({origin.x + 200, origin.y + 100}), id(pane));
}

} // namespace
