// The simulated window tree the action tests stand on answers like the real calls.
#include "fake_window_system.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::WindowId;

// frame (100,100)-(500,400), client from (104,130): pane (104,130)-(404,380)
// holding inner (114,140)-(164,190); hbar (104,380)-(404,396); vbar hidden
// (480,130)-(496,380). other (0,0)-(300,300) is a top-level window below frame.
struct FakeWindowTree : ::testing::Test
{
    platform::fake::FakeWindowSystem w;
    WindowId frame = w.addWindow(0, "Frame", {100, 100, 500, 400}, 0, "Main \xC3\xA9");
    WindowId pane = w.addWindow(frame, "Pane", {104, 130, 404, 380});
    WindowId inner = w.addWindow(pane, "Inner", {114, 140, 164, 190});
    WindowId hbar = w.addWindow(frame, "ScrollBar", {104, 380, 404, 396});
    WindowId vbar = w.addWindow(frame, "ScrollBar", {480, 130, 496, 380});
    WindowId other = w.addWindow(0, "Other", {0, 0, 300, 300});
    void SetUp() override
    {
        w.setClientRect(frame, {104, 130, 496, 396});
        w.setVisible(vbar, false);
    }
};

TEST_F(FakeWindowTree, NamesOrderAndPointsAsTheSystemAnswers)
{
    EXPECT_EQ(w.title(frame, 7), "Main \xC3\xA9"); // cut in characters, terminator included
    EXPECT_EQ(w.title(frame, 6), "Main ");
    EXPECT_EQ(w.previousSibling(pane), 0u);
    EXPECT_EQ(w.nextSibling(frame), other);
    EXPECT_EQ(w.findChild(frame, inner), 0u); // not a child of frame

    EXPECT_EQ(w.windowFromPoint({120, 150}), inner); // the deepest visible
    EXPECT_EQ(w.windowFromPoint({485, 200}), frame); // the hidden bar is skipped
    EXPECT_EQ(w.windowFromPoint({104, 130}), pane);  // left and top edges inside,
    EXPECT_EQ(w.windowFromPoint({404, 200}), frame); // the right edge outside
    EXPECT_EQ(w.windowFromPoint({50, 50}), other);
    EXPECT_EQ(w.windowFromPoint({1500, 900}), w.desktopWindow());
    const platform::Point client = w.screenToClient(frame, {200, 390});
    EXPECT_EQ(std::make_pair(client.x, client.y), std::make_pair(96, 260));
    EXPECT_EQ(w.childFromPoint(frame, {20, 20}), pane);  // direct children only
    EXPECT_EQ(w.childFromPoint(frame, {380, 50}), vbar); // hidden ones too
    EXPECT_EQ(w.childFromPoint(frame, {-1, 50}), 0u);
}

TEST_F(FakeWindowTree, EnumerationAsTheSystemAnswers)
{
    std::vector<WindowId> seen;
    std::uint32_t error = 0;
    const auto until = [&](WindowId last) {
        return [&seen, last](WindowId id) { return seen.push_back(id), id != last; };
    };
    EXPECT_TRUE(w.enumerateDescendants(frame, until(inner), error)); // stops there
    EXPECT_TRUE(w.enumerateDescendants(0, until(0), error));         // top-level only
    EXPECT_EQ(seen, std::vector<WindowId>({pane, inner, frame, other}));
    w.destroyWindow(pane);
    EXPECT_FALSE(w.enumerateDescendants(inner, until(0), error));
    EXPECT_EQ(error, 1400u); // ERROR_INVALID_WINDOW_HANDLE
}

TEST_F(FakeWindowTree, ShowWindowAnswersWhetherItWasVisible)
{
    EXPECT_TRUE(w.showWindow(frame, 0));                       // SW_HIDE
    EXPECT_TRUE(!w.showWindow(frame, 3) && w.isZoomed(frame)); // SW_SHOWMAXIMIZED
    EXPECT_TRUE(w.showWindow(frame, 6) && w.isIconic(frame) && !w.isZoomed(frame)); // SW_MINIMIZE
    w.showWindow(frame, 9);                                                         // SW_RESTORE
    EXPECT_FALSE(w.isIconic(frame) || w.isZoomed(frame));
}

} // namespace
