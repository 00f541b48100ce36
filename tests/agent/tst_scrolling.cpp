// Horizontal scrolling against a simulated window tree: which windows are left
// alone, which get arrow keys, which get WM_HSCROLL (and where), and when the
// horizontal wheel event is the fallback; and the scroll-bar search's parts.
#include "actions/cfindscrollbar.h"
#include "actions/scrollfunction.h"
#include "fake_agent_platform.h"
#include "logcapture.h"

#include <QtTest>

#include <vector>

using platform::Rect;
using platform::WindowId;
using Posted = platform::fake::FakeWindowSystem::PostedMessage;

Q_DECLARE_METATYPE(platform::Rect)
Q_DECLARE_METATYPE(platform::Point)

namespace {

constexpr std::uint32_t kHScroll = platform::kWsHScroll;
constexpr std::uint32_t kVert = platform::kSbsVert;
constexpr std::uint32_t kSizeBox = platform::kSbsSizeBox;

// A desktop-sized frame to put things in; the cursor is set by each case.
struct Scene
{
    FakeAgentPlatform fakes;
    platform::fake::FakeWindowSystem &w = *fakes.windows;
    WindowId frame = w.addWindow(0, "AppFrame", {0, 0, 1200, 900});

    void cursor(int x, int y) { fakes.input->setCursorPos({x, y}); }
    std::vector<Posted> posted() const { return fakes.windows->postedMessages(); }
    QStringList input() const
    {
        QStringList out;
        for (const std::string &e : fakes.input->describedEvents())
            out << QString::fromStdString(e);
        return out;
    }
    void scroll(bool left)
    {
        ScrollFunction s(fakes.platform);
        left ? s.ScrollLeft() : s.ScrollRight();
    }
};

std::intptr_t lp(std::uint32_t value)
{
    return static_cast<std::intptr_t>(value);
}

std::vector<Posted> hscrollTwice(WindowId to, bool left, std::intptr_t lParam)
{
    const Posted p{to, platform::kWmHScroll, left ? 0u : 1u, lParam};
    return {p, p};
}

QString describe(const std::vector<Posted> &posted)
{
    QStringList out;
    for (const Posted &p : posted)
        out << QStringLiteral("0x%1 %2 0x%3 to 0x%4")
                   .arg(p.message, 0, 16)
                   .arg(p.wParam)
                   .arg(quint64(p.lParam), 0, 16)
                   .arg(quint64(p.window), 0, 16);
    return out.join(QStringLiteral("; "));
}

} // namespace

#define COMPARE_POSTED(actual, expected) QCOMPARE(describe(actual), describe(expected))

class TestScrolling : public QObject
{
    Q_OBJECT

private slots:
    void desktopIsLeftAlone_data();
    void desktopIsLeftAlone();
    void keyboardClasses_data();
    void keyboardClasses();
    void netUiGoesThroughTheSearchToTheRight();
    void barParentClasses_data();
    void barParentClasses();
    void windowWithItsOwnBar_data();
    void windowWithItsOwnBar();
    void excelSheetWithSiblingBar();
    void unusableBarsFallBackToTheWheel_data();
    void unusableBarsFallBackToTheWheel();
    void failedEnumerationFallsBackToTheWheel();
    void enumerationTolerance_data();
    void enumerationTolerance();
    void enumerationSkipsTooWideBarsAndStopsAtTheFirstFit();
    void cursorOverScrollBars_data();
    void cursorOverScrollBars();
    void directUiChildren_data();
    void directUiChildren();
    void mozillaProbeAnswersItsParent();
    void checkSourceStyle_data();
    void checkSourceStyle();
    void checkSibling_data();
    void checkSibling();
    void checkChild();
    void checkValidWindowAndFindTopParent();
};

// Cursor over the desktop's icon view, or over no window at all.
void TestScrolling::desktopIsLeftAlone_data()
{
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("icons");
    QTest::newRow("icons, left") << true << true;
    QTest::newRow("icons, right") << false << true;
    QTest::newRow("bare desktop, left") << true << false;
    QTest::newRow("bare desktop, right") << false << false;
}

void TestScrolling::desktopIsLeftAlone()
{
    QFETCH(bool, left);
    QFETCH(bool, icons);
    Scene s;
    s.w.destroyWindow(s.frame);
    if (icons) {
        const WindowId progman =
            s.w.addWindow(0, "Progman", {0, 0, 1920, 1080}, 0, "Program Manager");
        const WindowId view = s.w.addWindow(progman, "SHELLDLL_DefView", {0, 0, 1920, 1080});
        s.w.addWindow(view, "SysListView32", {0, 0, 1920, 1080}, kHScroll);
    }
    s.cursor(500, 500);
    s.scroll(left);
    QVERIFY(s.posted().empty());
    QCOMPARE(s.input(), QStringList{});
    QVERIFY(s.w.enumerationRoots().empty());
}

void TestScrolling::keyboardClasses_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("left");
    for (const char *c : {"MozillaWindowClass", "Chrome_RenderWidgetHostHWND", "OperaWindowClass",
                          "xChrome_RenderWidgetHostHWNDx"}) {
        QTest::addRow("%s, left", c) << c << true;
        QTest::addRow("%s, right", c) << c << false;
    }
    QTest::newRow("NetUIHWND, left") << "NetUIHWND" << true;
}

void TestScrolling::keyboardClasses()
{
    QFETCH(QString, className);
    QFETCH(bool, left);
    Scene s;
    // A usable horizontal bar right beside it must not be looked for.
    const WindowId content =
        s.w.addWindow(s.frame, className.toStdString(), {0, 0, 1200, 880}, kHScroll);
    s.w.addWindow(s.frame, "ScrollBar", {0, 880, 1200, 897});
    s.cursor(300, 300);

    LogCapture log;
    s.scroll(left);
    const std::uintptr_t key = left ? 0x25 : 0x27;
    const std::intptr_t down = left ? lp(0x014B0001) : lp(0x014D0001);
    const std::intptr_t up = left ? lp(0xC14B0001u) : lp(0xC14D0001u);
    const std::vector<Posted> expected{{content, platform::kWmKeyDown, key, down},
                                       {content, platform::kWmKeyUp, key, up},
                                       {content, platform::kWmKeyDown, key, down},
                                       {content, platform::kWmKeyUp, key, up}};
    COMPARE_POSTED(s.posted(), expected);
    QCOMPARE(s.input(), (QStringList{"pause 1", "pause 1"}));
    QVERIFY(s.w.enumerationRoots().empty());
    QVERIFY(log.contains(QStringLiteral("hHorizontal = 1")));
    QVERIFY(!log.contains(QStringLiteral("bMozillaFireFox")));
}

void TestScrolling::netUiGoesThroughTheSearchToTheRight()
{
    Scene s;
    s.w.addWindow(s.frame, "NetUIHWND", {0, 0, 1200, 900});
    s.cursor(300, 300);
    LogCapture log;
    s.scroll(false);
    QVERIFY(s.posted().empty());
    QCOMPARE(s.input(), (QStringList{"pause 1", "mouse 0x1000 120"}));
    QVERIFY(log.contains(QStringLiteral("bMozillaFireFox=0, bChrome=0, bOpera=0, Count=2")));
    QVERIFY(log.contains(QStringLiteral("hHorizontal = 0")));
}

// Office-like content windows: the bar beside them is told through its parent.
void TestScrolling::barParentClasses_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("barParentMode");
    for (const char *c :
         {"_WwG", "paneClassDC", "VISIOG", "PSViewC", "EditControl", "FrontPageEditorDocumentView",
          "EXCEL7", "AVL_AVView", "OGrid", "OFormSub", "OPrtPrevPage", "Office_WwG_Pane"})
        QTest::newRow(c) << c << true;
    QTest::newRow("generic class") << "SomeGrid" << false;
    QTest::newRow("case differs") << "excel7" << false;
}

void TestScrolling::barParentClasses()
{
    QFETCH(QString, className);
    QFETCH(bool, barParentMode);
    for (const bool left : {true, false}) {
        Scene s;
        const WindowId pane = s.w.addWindow(s.frame, "Pane", {0, 0, 1200, 900});
        s.w.addWindow(pane, className.toStdString(), {0, 0, 1180, 880});
        const WindowId bar = s.w.addWindow(pane, "ScrollBar", {0, 880, 1180, 897});
        s.cursor(600, 400);
        LogCapture log;
        s.scroll(left);
        if (barParentMode) {
            COMPARE_POSTED(s.posted(), hscrollTwice(pane, left, std::intptr_t(bar)));
            QCOMPARE(log.lines().filter(QStringLiteral("Send Mouse_event")).size(), 2);
            QVERIFY(log.contains(QStringLiteral("BarRect.left=0, BarRect.top=880")));
        } else {
            COMPARE_POSTED(s.posted(), hscrollTwice(bar, left, 0));
            QCOMPARE(log.lines().filter(QStringLiteral("TiltLineNum")).size(), 2);
        }
        QVERIFY(!s.input().contains(left ? "mouse 0x1000 -120" : "mouse 0x1000 120"));
    }
}

// A window of any other class with WS_HSCROLL scrolls itself.
void TestScrolling::windowWithItsOwnBar_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("left");
    QTest::newRow("tree, left") << "SysTreeView32" << true;
    QTest::newRow("tree, right") << "SysTreeView32" << false;
    QTest::newRow("NetUIHWND, right") << "NetUIHWND" << false;
    QTest::newRow("file list outside the desktop") << "SysListView32" << true;
}

void TestScrolling::windowWithItsOwnBar()
{
    QFETCH(QString, className);
    QFETCH(bool, left);
    Scene s;
    const WindowId window =
        s.w.addWindow(s.frame, className.toStdString(), {100, 100, 900, 700}, kHScroll);
    s.cursor(400, 400);
    s.scroll(left);
    COMPARE_POSTED(s.posted(), hscrollTwice(window, left, 0));
    QCOMPARE(s.input(), QStringList{}); // found at once: no enumeration, no pause
    QVERIFY(s.w.enumerationRoots().empty());
}

// The sheet has no bar of its own; the bar is its sibling under the desk.
void TestScrolling::excelSheetWithSiblingBar()
{
    Scene s;
    const WindowId desk = s.w.addWindow(s.frame, "XLDESK", {0, 100, 1200, 900});
    const WindowId sheet = s.w.addWindow(desk, "EXCEL7", {0, 100, 1200, 880});
    s.w.addWindow(desk, "ScrollBar", {1183, 100, 1200, 880}, kVert); // vertical: skipped
    const WindowId bar = s.w.addWindow(desk, "ScrollBar", {200, 880, 1183, 897});
    s.cursor(600, 500);
    for (const bool left : {true, false}) {
        s.w.clearRecords();
        s.fakes.input->clear();
        s.scroll(left);
        COMPARE_POSTED(s.posted(), hscrollTwice(desk, left, std::intptr_t(bar)));
        QCOMPARE(s.w.enumerationRoots(), std::vector<WindowId>{desk});
        QCOMPARE(s.input(), QStringList{"pause 1"});
    }
    Q_UNUSED(sheet);
}

// Bars that are not horizontal, or end left of the cursor, are not taken: one
// horizontal wheel event instead.
void TestScrolling::unusableBarsFallBackToTheWheel_data()
{
    QTest::addColumn<Rect>("barRect");
    QTest::addColumn<uint>("barStyle");
    QTest::addColumn<bool>("left");
    QTest::newRow("no bar, left") << Rect{} << 0u << true;
    QTest::newRow("no bar, right") << Rect{} << 0u << false;
    QTest::newRow("tall bar") << Rect{1183, 100, 1200, 880} << 0u << true;
    QTest::newRow("square bar") << Rect{100, 880, 117, 897} << 0u << false;
    QTest::newRow("bar left of the cursor") << Rect{0, 880, 500, 897} << 0u << true;
    QTest::newRow("bar ending at the cursor") << Rect{0, 880, 600, 897} << 0u << false;
}

void TestScrolling::unusableBarsFallBackToTheWheel()
{
    QFETCH(Rect, barRect);
    QFETCH(uint, barStyle);
    QFETCH(bool, left);
    Scene s;
    const WindowId desk = s.w.addWindow(s.frame, "XLDESK", {0, 100, 1200, 900});
    s.w.addWindow(desk, "EXCEL7", {0, 100, 1200, 880});
    if (barRect.width() > 0)
        s.w.addWindow(desk, "ScrollBar", barRect, barStyle);
    s.cursor(600, 500);
    LogCapture log;
    s.scroll(left);
    QVERIFY(s.posted().empty());
    QCOMPARE(s.input(), (QStringList{"pause 1", left ? "mouse 0x1000 -120" : "mouse 0x1000 120"}));
    QVERIFY(
        log.contains(left ? QStringLiteral("hHorizontal =0") : QStringLiteral("hHorizontal = 0")));
    QVERIFY(log.contains(left ? QStringLiteral("ScrollLeft") : QStringLiteral("ScrollRight")));
}

void TestScrolling::failedEnumerationFallsBackToTheWheel()
{
    Scene s;
    const WindowId desk = s.w.addWindow(s.frame, "XLDESK", {0, 100, 1200, 900});
    s.w.addWindow(desk, "EXCEL7", {0, 100, 1200, 880});
    s.w.addWindow(desk, "ScrollBar", {0, 880, 1200, 897});
    s.w.setEnumerationError(1400);
    s.cursor(600, 500);
    LogCapture log;
    s.scroll(true);
    QVERIFY(s.posted().empty());
    QCOMPARE(s.input(), (QStringList{"pause 1", "mouse 0x1000 -120"}));
    QVERIFY(log.contains(QStringLiteral("1400")));
}

// The enumeration takes a bar within 25 pixels of the reference's left and right.
void TestScrolling::enumerationTolerance_data()
{
    QTest::addColumn<Rect>("bar");
    QTest::addColumn<bool>("taken");
    // Reference: (100, 100) - (500, 400).
    QTest::newRow("inside") << Rect{100, 400, 500, 417} << true;
    QTest::newRow("25 wider on both sides") << Rect{75, 400, 525, 417} << true;
    QTest::newRow("26 to the left") << Rect{74, 400, 500, 417} << false;
    QTest::newRow("26 to the right") << Rect{100, 400, 526, 417} << false;
    QTest::newRow("narrow, far below") << Rect{200, 800, 300, 817} << true;
    QTest::newRow("vertical") << Rect{483, 100, 500, 400} << false;
}

void TestScrolling::enumerationTolerance()
{
    QFETCH(Rect, bar);
    QFETCH(bool, taken);
    Scene s;
    const WindowId window = s.w.addWindow(s.frame, "ScrollBar", bar);
    CFindScrollBar finder(s.w, *s.fakes.input);
    finder.setPoint(0, 0);
    ScrollBarSearchScratch &scratch = scrollBarSearchScratch();
    scratch.referenceRect = Rect{100, 100, 500, 400};
    scratch.scrollBar = 0;
    QCOMPARE(EnumChildProc2(window, finder), !taken);
    QCOMPARE(scratch.scrollBar, taken ? window : WindowId(0));

    // Windows that are no scroll-bar controls are passed over whatever their shape.
    const WindowId other = s.w.addWindow(s.frame, "Static", bar, kHScroll);
    scratch.scrollBar = 0;
    QVERIFY(EnumChildProc2(other, finder));
    QCOMPARE(scratch.scrollBar, WindowId(0));
}

void TestScrolling::enumerationSkipsTooWideBarsAndStopsAtTheFirstFit()
{
    Scene s;
    // Under the frame: a panel holding a bar 40 px wider than the view, then the
    // view, then two fitting bars (the second must not be reached).
    const WindowId panel = s.w.addWindow(s.frame, "Panel", {0, 700, 1200, 900});
    s.w.addWindow(panel, "ScrollBar", {60, 720, 740, 737});
    const WindowId view = s.w.addWindow(s.frame, "Canvas", {100, 100, 700, 600});
    const WindowId fit = s.w.addWindow(s.frame, "NUIScrollbar", {100, 600, 700, 617});
    s.w.addWindow(s.frame, "ScrollBar", {100, 620, 700, 637});
    s.cursor(300, 300);
    LogCapture log;
    s.scroll(false);
    COMPARE_POSTED(s.posted(), hscrollTwice(fit, false, 0));
    QCOMPARE(s.w.enumerationRoots(), std::vector<WindowId>{s.frame});
    const QStringList visited = log.lines().filter(QStringLiteral("EnumChildProc2 "));
    QCOMPARE(visited.size(), 4); // panel, its bar, the view, the fitting bar
    QVERIFY(log.contains(QStringLiteral("g_rect ")));
    Q_UNUSED(view);
}

// The cursor right over a scroll-bar control. A horizontal bar that ends left
// of the cursor is never taken, so over the usual vertical bar (at the right
// edge) only a horizontal bar reaching under it is found.
void TestScrolling::cursorOverScrollBars_data()
{
    QTest::addColumn<platform::Point>("cursor");
    QTest::addColumn<int>("hbarRight");
    QTest::addColumn<bool>("found");
    QTest::newRow("horizontal bar scrolls itself") << platform::Point{600, 890} << 1183 << true;
    QTest::newRow("vertical bar, sibling reaching under the cursor")
        << platform::Point{1190, 400} << 1200 << true;
    QTest::newRow("vertical bar, sibling ending left of the cursor")
        << platform::Point{1190, 400} << 1183 << false;
}

void TestScrolling::cursorOverScrollBars()
{
    QFETCH(platform::Point, cursor);
    QFETCH(int, hbarRight);
    QFETCH(bool, found);
    Scene s;
    s.w.addWindow(s.frame, "View", {0, 0, 1183, 883});
    s.w.addWindow(s.frame, "ScrollBar", {1183, 0, 1200, 883}, kVert);
    const WindowId hbar = s.w.addWindow(s.frame, "ScrollBar", {0, 883, hbarRight, 900});
    s.cursor(cursor.x, cursor.y);
    s.scroll(true);
    if (found) {
        COMPARE_POSTED(s.posted(), hscrollTwice(hbar, true, 0));
        QVERIFY(s.w.enumerationRoots().empty());
    } else {
        QVERIFY(s.posted().empty());
        QCOMPARE(s.input(), (QStringList{"pause 1", "mouse 0x1000 -120"}));
    }
}

// A DirectUIHWND's bars live below its first or second child.
void TestScrolling::directUiChildren_data()
{
    QTest::addColumn<bool>("inFirst");
    QTest::addColumn<bool>("inSecond");
    QTest::newRow("first child's bar") << true << true;
    QTest::newRow("second child's bar") << false << true;
    QTest::newRow("none") << false << false;
}

void TestScrolling::directUiChildren()
{
    QFETCH(bool, inFirst);
    QFETCH(bool, inSecond);
    Scene s;
    const WindowId ui = s.w.addWindow(s.frame, "DirectUIHWND", {0, 0, 1200, 900});
    const WindowId sink1 = s.w.addWindow(ui, "CtrlNotifySink", {1183, 0, 1200, 880});
    const WindowId sink2 = s.w.addWindow(ui, "CtrlNotifySink", {0, 880, 1200, 900});
    s.w.addWindow(sink1, "ScrollBar", {1183, 0, 1200, 880}, kVert);
    const WindowId bar1 = inFirst ? s.w.addWindow(sink1, "ScrollBar", {0, 860, 1180, 877}) : 0;
    const WindowId bar2 = inSecond ? s.w.addWindow(sink2, "ScrollBar", {0, 883, 1183, 900}) : 0;
    s.cursor(500, 400);
    LogCapture log;
    s.scroll(false);
    const WindowId expected = inFirst ? bar1 : bar2;
    if (expected) {
        COMPARE_POSTED(s.posted(), hscrollTwice(expected, false, 0));
        QCOMPARE(log.contains(QStringLiteral("GetHScrollBar DirectUIHWND hChildWind2")), !inFirst);
        QVERIFY(s.w.enumerationRoots().empty());
    } else {
        QVERIFY(s.posted().empty());
        QCOMPARE(s.input(), (QStringList{"pause 1", "mouse 0x1000 120"}));
    }
}

void TestScrolling::mozillaProbeAnswersItsParent()
{
    Scene s;
    const WindowId container = s.w.addWindow(s.frame, "MozillaWindowClass", {0, 0, 1200, 900});
    const WindowId content =
        s.w.addWindow(container, "MozillaWindowClass", {0, 0, 1200, 900}, kHScroll);
    CFindScrollBar finder(s.w, *s.fakes.input);
    finder.setPoint(300, 300);
    QCOMPARE(finder.GetHScrollBar(content), container);
}

void TestScrolling::checkSourceStyle_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<Rect>("rect");
    QTest::addColumn<uint>("style");
    QTest::addColumn<int>("cursorX");
    QTest::addColumn<bool>("usable");

    const Rect wide{100, 500, 700, 517};
    QTest::newRow("horizontal bar") << "ScrollBar" << wide << 0u << 300 << true;
    QTest::newRow("cursor right of the bar") << "ScrollBar" << wide << 0u << 800 << false;
    QTest::newRow("cursor at the right edge") << "ScrollBar" << wide << 0u << 700 << false;
    QTest::newRow("cursor left of the bar") << "ScrollBar" << wide << 0u << 0 << true;
    QTest::newRow("tall bar") << "ScrollBar" << Rect{100, 0, 117, 500} << 0u << 0 << false;
    QTest::newRow("square bar") << "ScrollBar" << Rect{0, 0, 17, 17} << 0u << 0 << false;
    QTest::newRow("tall bar with WS_HSCROLL")
        << "ScrollBar" << Rect{100, 0, 117, 500} << kHScroll << 0 << false;
    QTest::newRow("NUIScrollbar") << "NUIScrollbar" << wide << 0u << 300 << true;
    QTest::newRow("Internet Explorer_Server")
        << "Internet Explorer_Server" << Rect{0, 0, 10, 100} << 0u << 5000 << true;
    QTest::newRow("window with WS_HSCROLL")
        << "Edit" << Rect{0, 0, 10, 100} << kHScroll << 5000 << true;
    QTest::newRow("window without WS_HSCROLL") << "Edit" << wide << 0u << 0 << false;
    QTest::newRow("class test is case-sensitive") << "scrollbar" << wide << 0u << 300 << false;
}

void TestScrolling::checkSourceStyle()
{
    QFETCH(QString, className);
    QFETCH(Rect, rect);
    QFETCH(uint, style);
    QFETCH(int, cursorX);
    QFETCH(bool, usable);
    Scene s;
    const WindowId window = s.w.addWindow(s.frame, className.toStdString(), rect, style);
    CFindScrollBar finder(s.w, *s.fakes.input);
    finder.setPoint(cursorX, 0);
    QCOMPARE(finder.CheckSourceStyle(window, CFindScrollBar::kHorizontal), usable);
}

// Siblings listed in Z order around the start window "*"; each entry is
// "class" or "class>childClass:childStyle". The answer is the index of the
// sibling (or of its child, marked with '>') that is found, or "-".
void TestScrolling::checkSibling_data()
{
    QTest::addColumn<QStringList>("siblings");
    QTest::addColumn<QString>("found");

    QTest::newRow("following bar") << QStringList{"*", "Pane", "ScrollBar"} << "2";
    QTest::newRow("following before preceding")
        << QStringList{"ScrollBar", "*", "ScrollBar"} << "2";
    QTest::newRow("nearest following first")
        << QStringList{"*", "NUIScrollbar", "ScrollBar"} << "1";
    QTest::newRow("preceding bar") << QStringList{"ScrollBar", "Pane", "*"} << "0";
    QTest::newRow("nearest preceding first")
        << QStringList{"ScrollBar", "NUIScrollbar", "*"} << "1";
    QTest::newRow("nothing") << QStringList{"Pane", "*", "Other"} << "-";
    QTest::newRow("vertical bars only") << QStringList{"ScrollBar:1", "*", "ScrollBar:1"} << "-";
    QTest::newRow("AVL bar following") << QStringList{"*", "AVL_AVScrollBarH>ScrollBar:0"} << ">1";
    QTest::newRow("AVL bar preceding") << QStringList{"AVL_AVScrollBarH>ScrollBar:0", "*"} << ">0";
    QTest::newRow("AVL vertical child skipped")
        << QStringList{"*", "AVL_AVScrollBarV>ScrollBar:1"} << "-";
    QTest::newRow("AVL size box skipped")
        << QStringList{"*", "AVL_AVScrollBarV>ScrollBar:8"} << "-";
    QTest::newRow("AVL child of another class skipped")
        << QStringList{"*", "AVL_AVScrollBarH>Static:0"} << "-";
    QTest::newRow("AVL child left of the cursor still taken")
        << QStringList{"*", "AVL_AVScrollBarH>ScrollBar:left"} << ">1";
    QTest::newRow("preceding AfxWnd70 with a bar inside")
        << QStringList{"AfxWnd70s>ScrollBar:0", "*"} << ">0";
    QTest::newRow("preceding AfxWnd42 with a bar inside")
        << QStringList{"AfxWnd42>ScrollBar:0", "*"} << ">0";
    QTest::newRow("following AfxWnd70 is not looked into")
        << QStringList{"*", "AfxWnd70>ScrollBar:0"} << "-";
}

void TestScrolling::checkSibling()
{
    QFETCH(QStringList, siblings);
    QFETCH(QString, found);

    Scene s;
    const WindowId parent = s.w.addWindow(s.frame, "Parent", {0, 0, 1200, 900});
    std::vector<WindowId> ids, childIds;
    WindowId start = 0;
    for (const QString &entry : siblings) {
        const QStringList parts = entry.split('>');
        const QStringList outer = parts[0].split(':');
        const uint style = outer.size() > 1 ? outer[1].toUInt() : 0;
        const bool barShape = outer[0].contains(QStringLiteral("ScrollBar")) ||
                              outer[0].contains(QStringLiteral("NUIScrollbar"));
        // Bars are wide unless vertical; the AVL containers are tall so that only
        // their child can be the answer.
        const bool wide = style == 0 && !outer[0].startsWith(QStringLiteral("AVL"));
        const Rect rect = barShape && wide ? Rect{0, 880, 1200, 897}
                          : barShape       ? Rect{1183, 0, 1200, 880}
                                           : Rect{0, 0, 1180, 870};
        const WindowId id =
            s.w.addWindow(parent, outer[0] == "*" ? "Start" : outer[0].toStdString(), rect, style);
        if (outer[0] == "*")
            start = id;
        ids.push_back(id);
        WindowId child = 0;
        if (parts.size() > 1) {
            const QStringList inner = parts[1].split(':');
            const bool leftOfCursor = inner[1] == QStringLiteral("left");
            const uint childStyle = leftOfCursor ? 0 : inner[1].toUInt();
            const Rect childRect = leftOfCursor ? Rect{0, 880, 100, 897} : Rect{0, 880, 1200, 897};
            child = s.w.addWindow(id, inner[0].toStdString(), childRect, childStyle);
        }
        childIds.push_back(child);
    }
    CFindScrollBar finder(s.w, *s.fakes.input);
    finder.setPoint(600, 400);
    WindowId expected = 0;
    if (found.startsWith('>'))
        expected = childIds.at(found.mid(1).toUInt());
    else if (found != QStringLiteral("-"))
        expected = ids.at(found.toUInt());
    QCOMPARE(finder.CheckSibling(start, CFindScrollBar::kHorizontal), expected);
}

void TestScrolling::checkChild()
{
    Scene s;
    CFindScrollBar finder(s.w, *s.fakes.input);
    finder.setPoint(600, 400);
    QCOMPARE(finder.CheckChild(0, 1), WindowId(0));

    const WindowId empty = s.w.addWindow(s.frame, "Empty", {0, 0, 10, 10});
    QCOMPARE(finder.CheckChild(empty, 1), WindowId(0));

    // The first child itself when usable...
    const WindowId host = s.w.addWindow(s.frame, "Host", {0, 0, 1200, 900});
    const WindowId own = s.w.addWindow(host, "Grid", {0, 0, 1200, 900}, kHScroll);
    QCOMPARE(finder.CheckChild(host, 1), own);

    // ...otherwise a bar among that child's siblings.
    const WindowId host2 = s.w.addWindow(s.frame, "Host", {0, 0, 1200, 900});
    s.w.addWindow(host2, "Grid", {0, 0, 1200, 880});
    const WindowId bar = s.w.addWindow(host2, "ScrollBar", {0, 880, 1200, 897});
    QCOMPARE(finder.CheckChild(host2, 1), bar);
}

void TestScrolling::checkValidWindowAndFindTopParent()
{
    Scene s;
    const WindowId progman = s.w.addWindow(0, "Progman", {0, 0, 1920, 1080});
    const WindowId defView = s.w.addWindow(progman, "SHELLDLL_DefView", {0, 0, 1920, 1080});
    const WindowId icons = s.w.addWindow(defView, "SysListView32", {0, 0, 1920, 1080});
    const WindowId explorer = s.w.addWindow(0, "CabinetWClass", {0, 0, 800, 600});
    const WindowId files = s.w.addWindow(explorer, "SysListView32", {0, 0, 800, 600});

    QVERIFY(FindTopParent(s.w, icons));
    QVERIFY(FindTopParent(s.w, defView));
    QVERIFY(!FindTopParent(s.w, progman)); // ancestors only
    QVERIFY(!FindTopParent(s.w, files));
    QVERIFY(!FindTopParent(s.w, 0));

    CFindScrollBar finder(s.w, *s.fakes.input);
    QVERIFY(!finder.CheckValidWindow(0));
    QVERIFY(!finder.CheckValidWindow(s.w.desktopWindow()));
    QVERIFY(!finder.CheckValidWindow(icons));
    QVERIFY(finder.CheckValidWindow(files));
    QVERIFY(finder.CheckValidWindow(defView));
    QCOMPARE(finder.GetHScrollBar(icons), WindowId(0));
}

QTEST_GUILESS_MAIN(TestScrolling)
#include "tst_scrolling.moc"
