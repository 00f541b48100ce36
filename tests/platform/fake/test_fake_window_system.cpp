// The simulated window tree that the action tests stand on: it must answer like
// the real window calls do, or those tests prove nothing.
#include "fake_window_system.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

namespace {

using platform::Point;
using platform::Rect;
using platform::WindowId;
using platform::fake::FakeWindowSystem;

// frame (100,100)-(500,400), client (104,130)-(496,396)
//   pane  (104,130)-(404,380) WS_HSCROLL
//     inner (114,140)-(164,190)
//   hbar  (104,380)-(404,396)
//   vbar  (480,130)-(496,380) hidden
// other (0,0)-(300,300) top-level below frame
struct Tree
{
    FakeWindowSystem w;
    WindowId frame = w.addWindow(0, "Frame", {100, 100, 500, 400}, 0, "Main \xC3\xA9");
    WindowId pane = w.addWindow(frame, "Pane", {104, 130, 404, 380}, platform::kWsHScroll);
    WindowId inner = w.addWindow(pane, "Inner", {114, 140, 164, 190});
    WindowId hbar = w.addWindow(frame, "ScrollBar", {104, 380, 404, 396});
    WindowId vbar = w.addWindow(frame, "ScrollBar", {480, 130, 496, 380}, platform::kSbsVert);
    WindowId other = w.addWindow(0, "Other", {0, 0, 300, 300});

    Tree()
    {
        w.setClientRect(frame, {104, 130, 496, 396});
        w.setVisible(vbar, false);
    }
};

TEST(FakeWindowSystem, NamesAreCutToTheBuffer)
{
    Tree t;
    EXPECT_EQ(t.w.className(t.frame), "Frame");
    EXPECT_EQ(t.w.className(t.frame, 3), "Fr");
    EXPECT_EQ(t.w.title(t.frame, 7), "Main \xC3\xA9"); // six characters fit
    EXPECT_EQ(t.w.title(t.frame, 6), "Main ");
    EXPECT_EQ(t.w.className(t.frame, 0), "");
    EXPECT_EQ(t.w.className(0), "");
    EXPECT_EQ(t.w.className(t.w.desktopWindow()), "#32769");
}

TEST(FakeWindowSystem, ParentsAndSiblingsFollowTheZOrder)
{
    Tree t;
    EXPECT_EQ(t.w.parent(t.inner), t.pane);
    EXPECT_EQ(t.w.parent(t.pane), t.frame);
    EXPECT_EQ(t.w.parent(t.frame), 0u); // top-level
    EXPECT_EQ(t.w.firstChild(t.frame), t.pane);
    EXPECT_EQ(t.w.nextSibling(t.pane), t.hbar);
    EXPECT_EQ(t.w.nextSibling(t.vbar), 0u);
    EXPECT_EQ(t.w.previousSibling(t.hbar), t.pane);
    EXPECT_EQ(t.w.previousSibling(t.pane), 0u);
    EXPECT_EQ(t.w.nextSibling(t.frame), t.other);
    EXPECT_EQ(t.w.findChild(t.frame, 0), t.pane);
    EXPECT_EQ(t.w.findChild(t.frame, t.hbar), t.vbar);
    EXPECT_EQ(t.w.findChild(t.frame, t.vbar), 0u);
    EXPECT_EQ(t.w.findChild(t.frame, t.inner), 0u); // not a child of frame
    EXPECT_EQ(t.w.findChild(0, 0), t.frame);
}

TEST(FakeWindowSystem, PointLookups)
{
    Tree t;
    struct Row
    {
        Point screen;
        WindowId Tree::*expected;
    };
    const Row rows[] = {
        {{120, 150}, &Tree::inner}, // deepest visible
        {{300, 200}, &Tree::pane},  {{200, 390}, &Tree::hbar},
        {{485, 200}, &Tree::frame}, // hidden bar is skipped
        {{50, 50}, &Tree::other},   // below frame, outside it
        {{104, 130}, &Tree::pane},  // left/top edges belong to the window
    };
    for (const Row &row : rows)
        EXPECT_EQ(t.w.windowFromPoint(row.screen), t.*row.expected)
            << row.screen.x << "," << row.screen.y;
    EXPECT_EQ(t.w.windowFromPoint({1500, 900}), t.w.desktopWindow());
    EXPECT_EQ(t.w.windowFromPoint({404, 200}), t.frame); // right edge is outside the pane

    const Point client = t.w.screenToClient(t.frame, {200, 390});
    EXPECT_EQ(client.x, 96);
    EXPECT_EQ(client.y, 260);
    EXPECT_EQ(t.w.childFromPoint(t.frame, client), t.hbar);
    EXPECT_EQ(t.w.childFromPoint(t.frame, {20, 20}), t.pane);  // direct children only
    EXPECT_EQ(t.w.childFromPoint(t.frame, {380, 50}), t.vbar); // hidden counts
    EXPECT_EQ(t.w.childFromPoint(t.frame, {320, 50}), t.frame);
    EXPECT_EQ(t.w.childFromPoint(t.frame, {-1, 50}), 0u);
}

TEST(FakeWindowSystem, EnumerationIsDepthFirstPreOrderAndStops)
{
    Tree t;
    std::vector<WindowId> seen;
    std::uint32_t error = 0;
    ASSERT_TRUE(t.w.enumerateDescendants(
        t.frame, [&](WindowId id) { return seen.push_back(id), true; }, error));
    EXPECT_EQ(seen, (std::vector<WindowId>{t.pane, t.inner, t.hbar, t.vbar}));

    seen.clear();
    EXPECT_TRUE(t.w.enumerateDescendants(
        t.frame, [&](WindowId id) { return seen.push_back(id), id != t.inner; }, error));
    EXPECT_EQ(seen, (std::vector<WindowId>{t.pane, t.inner}));

    seen.clear();
    EXPECT_TRUE(t.w.enumerateDescendants(
        0, [&](WindowId id) { return seen.push_back(id), true; }, error));
    EXPECT_EQ(seen, (std::vector<WindowId>{t.frame, t.other}));

    const WindowId gone = t.inner;
    t.w.destroyWindow(t.pane);
    EXPECT_FALSE(t.w.exists(gone));
    EXPECT_FALSE(t.w.enumerateDescendants(
        gone, [](WindowId) { return true; }, error));
    EXPECT_EQ(error, 1400u);

    t.w.setEnumerationError(5);
    EXPECT_FALSE(t.w.enumerateDescendants(
        t.frame, [](WindowId) { return true; }, error));
    EXPECT_EQ(error, 5u);
    EXPECT_EQ(t.w.enumerationRoots().size(), 5u);
}

TEST(FakeWindowSystem, ShowWindowChangesTheStateAndIsRecorded)
{
    Tree t;
    struct Row
    {
        int showCmd;
        bool zoomed;
        bool iconic;
    };
    const Row rows[] = {{3, true, false},  {6, false, true}, {3, true, false},
                        {9, false, false}, {2, false, true}, {1, false, false}};
    for (const Row &row : rows) {
        EXPECT_TRUE(t.w.showWindow(t.frame, row.showCmd));
        EXPECT_EQ(t.w.isZoomed(t.frame), row.zoomed) << row.showCmd;
        EXPECT_EQ(t.w.isIconic(t.frame), row.iconic) << row.showCmd;
    }
    EXPECT_TRUE(t.w.showWindow(t.frame, 0));
    EXPECT_FALSE(t.w.isVisible(t.frame));
    EXPECT_FALSE(t.w.showWindow(t.frame, 5)); // was hidden
    EXPECT_FALSE(t.w.showWindow(0, 3));
    EXPECT_EQ(t.w.showWindowCalls().size(), std::size(rows) + 3);
    EXPECT_EQ(t.w.showWindowCalls().back(), (FakeWindowSystem::ShowWindowCall{0, 3}));
}

TEST(FakeWindowSystem, PostsAreRecordedAndFailWithoutAWindow)
{
    Tree t;
    EXPECT_TRUE(t.w.postMessage(t.pane, platform::kWmHScroll, 1, 42));
    EXPECT_FALSE(t.w.postMessage(0, platform::kWmClose, 0, 0));
    ASSERT_EQ(t.w.postedMessages().size(), 2u);
    EXPECT_EQ(t.w.postedMessages()[0],
              (FakeWindowSystem::PostedMessage{t.pane, platform::kWmHScroll, 1, 42}));
    t.w.clearRecords();
    EXPECT_TRUE(t.w.postedMessages().empty());
}

} // namespace
