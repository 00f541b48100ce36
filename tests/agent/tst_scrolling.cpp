// Horizontal scrolling on a simulated window tree: arrow keys, WM_HSCROLL or the
// horizontal wheel as fallback, and the scroll-bar search.
#include "actions/scrollfunction.h"
#include "fake_agent_platform.h"
#include "logcapture.h"

#include <QtTest>

#include <vector>

using platform::Rect;
using platform::WindowId;

constexpr std::uint32_t kHScroll = platform::kWsHScroll;
constexpr std::uint32_t kVert = platform::kSbsVert;
constexpr std::uint32_t kSizeBox = platform::kSbsSizeBox;

namespace {

QString hex(quint64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

// The effects of one scroll step, then "enum <root>" per enumeration.
QStringList scroll(FakeAgentPlatform &fakes, bool left)
{
    ScrollFunction s(fakes.platform);
    left ? s.ScrollLeft() : s.ScrollRight();
    QStringList out = fakes.effects();
    for (WindowId root : fakes.windows->enumerationRoots())
        out << QStringLiteral("enum ") + hex(root);
    return out;
}

// The expected effects for codes naming windows by their place in the scene:
// "P" the pause after an enumeration, "W" the horizontal wheel event, "Kn" the
// arrow key twice to window n, "Hn" WM_HSCROLL twice to n (lParam 0), "Hn@m" the
// same with bar m as lParam, "En" an enumeration below n.
QStringList expand(const QString &codes, bool left, const std::vector<WindowId> &ids)
{
    QStringList out;
    for (const QString &code : codes.split(' ', Qt::SkipEmptyParts)) {
        const WindowId to = ids.at(code.mid(1).section('@', 0, 0).toUInt());
        const WindowId bar = ids.at(code.section('@', 1).toUInt());
        const QString post = QStringLiteral("post %1 %2 %3 to ") + hex(to);
        const QString key = QString::number(left ? 0x25 : 0x27);
        const QString down = post.arg(hex(0x100), key).arg(left ? 0x014B0001 : 0x014D0001);
        const QString up =
            post.arg(hex(0x101), key).arg(std::intptr_t(left ? 0xC14B0001u : 0xC14D0001u));
        const QString hscroll = post.arg(hex(0x114)).arg(left ? 0 : 1).arg(std::intptr_t(bar));
        if (code == "P")
            out << "pause 1";
        else if (code == "W")
            out << (left ? "mouse 0x1000 -120" : "mouse 0x1000 120");
        else if (code[0] == 'E')
            out << "enum " + hex(to);
        else if (code[0] == 'H')
            out << hscroll << hscroll;
        else // K: the pauses between key down and up, then the posted messages
            out << QStringList{"pause 1", "pause 1", down, up, down, up};
    }
    return out;
}

} // namespace

class TestScrolling : public QObject
{
    Q_OBJECT

private slots:
    // Each window of a scene is "parent,Class,left,top,right,bottom[,flags]" (flags
    // h: WS_HSCROLL, v: SBS_VERT, s: SBS_SIZEBOX), numbered from 1 in order, parent 0
    // for none; "!n" makes enumerations fail with error n. The expected codes are
    // those of expand(), then "# text" per text the log must hold; "left|right" where
    // the two directions differ.
    void scroll_data()
    {
        QTest::addColumn<QStringList>("scene");
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<QString>("expected");
        const auto add = [](const QByteArray &name, const QStringList &scene, int x, int y,
                            const QString &expected) {
            QTest::newRow(name.constData()) << scene << QPoint(x, y) << expected;
        };
        const QString frame = "0,AppFrame,0,0,1200,900";

        // The desktop's icon view, or no window at all: nothing.
        add("desktop icons",
            {"0,Progman,0,0,1920,1080", "1,SHELLDLL_DefView,0,0,1920,1080",
             "2,SysListView32,0,0,1920,1080,h"},
            500, 500, "");
        add("bare desktop", {}, 500, 500, "");
        // Browsers get the arrow key, whatever bar is beside them; NetUIHWND only to the
        // left.
        for (const char *cls : {"xChrome_RenderWidgetHostHWNDx"})
            add(cls,
                {frame, QStringLiteral("1,%1,0,0,1200,880,h").arg(cls), "1,ScrollBar,0,880,1200,897"},
                300, 300, "K2 # hHorizontal = 1");
        add("NetUIHWND", {frame, "1,NetUIHWND,0,0,1200,880,h"}, 300, 300, "K2|H2");
        add("NetUIHWND without a bar", {frame, "1,NetUIHWND,0,0,1200,900"}, 300, 300,
            "K2|P W E1 # bMozillaFireFox=0, bChrome=0, bOpera=0, Count=2");
        // Office-like content: its bar, found by enumerating the parent (a vertical bar
        // passed over), is announced to the parent with the bar as lParam; other
        // classes (compared exactly) scroll the bar itself.
        for (const char *cls : {"_WwG", "excel7"})
            add(cls,
                {frame, "1,Pane,0,100,1200,900", QStringLiteral("2,%1,0,100,1180,880").arg(cls),
                 "2,ScrollBar,1183,100,1200,880,v", "2,ScrollBar,200,880,1183,897"},
                600, 400,
                QByteArray(cls).startsWith("S") || QByteArray(cls) == "excel7"
                    ? "P H5 E2 # TiltLineNum"
                    : "P H2@5 E2 # BarRect.left=200, BarRect.top=880");
        // Any other window with WS_HSCROLL, and Internet Explorer, scroll themselves.
        for (const char *window :
             {"1,Internet Explorer_Server,100,100,900,700"})
            add(window, {frame, window}, 400, 400, "H2");
        // No horizontal bar reaching right of the cursor: one horizontal wheel event.
        for (const char *bar :
             {"2,ScrollBar,0,880,600,897"})
            add(*bar ? bar : "no bar",
                {frame, "1,XLDESK,0,100,1200,900", "2,EXCEL7,0,100,1200,880", bar}, 600, 500,
                "P W E2 # ScrollLeft # hHorizontal =0|P W E2 # ScrollRight # hHorizontal = 0");
        add("failed enumeration", {frame, "1,EXCEL7,0,100,1200,880", "1,ScrollBar,0,880,1200,897", "!1400"},
            600, 500, "P W E1 # 1400");
        // The enumeration takes the first scroll-bar control (not other windows with
        // WS_HSCROLL) within 25 pixels of the view's left and right edges.
        add("first fitting bar",
            {frame, "1,Panel,0,700,1200,900", "2,ScrollBar,60,720,740,737", "1,Canvas,100,100,700,600",
             "1,Static,100,590,700,600,h", "1,NUIScrollbar,100,600,700,617",
             "1,ScrollBar,100,620,700,637"},
            300, 300, "P H6 E1 # g_rect");
        const QString canvas = "1,Canvas,100,100,700,600";
        for (const char *b : {"75,800,725,817 P H3 E1", "74,800,700,817 P W E1"})
            add(b, {frame, canvas, QStringLiteral("1,ScrollBar,") + QString(b).section(' ', 0, 0)},
                150, 300, QString(b).section(' ', 1));
        // Over a horizontal bar: the bar itself; over the vertical bar at the right
        // edge: its sibling only where that reaches under the cursor. A tall bar is
        // never taken, WS_HSCROLL or not.
        const QStringList bars{frame, "1,View,0,0,1183,883", "1,ScrollBar,1183,0,1200,883,hv"};
        const QString left = "1,ScrollBar,0,883,1183,900";
        add("over a horizontal bar", bars + QStringList(left), 600, 890, "H4");
        add("over the vertical bar, sibling left of it", bars + QStringList(left), 1190, 400, "P W E1");
        // A DirectUIHWND's bar lives below its first or second child.
        const QStringList ui{frame, "1,DirectUIHWND,0,0,1200,900", "2,CtrlNotifySink,1183,0,1200,880",
                             "2,CtrlNotifySink,0,880,1200,900", "3,ScrollBar,1183,0,1200,880,v"};
        for (const QString b : {"4,ScrollBar,0,883,1183,900>H6", ">P W E1"})
            add("DirectUIHWND " + b.toUtf8(), ui + QStringList(b.section('>', 0, 0)), 500, 400, b.section('>', 1));

        // Over an unusable bar: a bar among its siblings, following ones first, nearest
        // first; Acrobat's containers answer their horizontal bar child, preceding
        // AfxWnd70/42 windows their usable first child (or a bar beside it).
        const QString parent = "0,Parent,0,0,1200,900", over = "1,ScrollBar,1183,0,1200,880,v",
                      bar = "1,ScrollBar,0,880,1200,897",
                      avlH = "1,AVL_AVScrollBarH,1150,0,1180,880";
        const auto sib = [&](const char *name, const QStringList &scene, const char *expected) {
            add(name, QStringList(parent) + scene, 1190, 400, expected);
        };
        sib("following before preceding", {bar, over, bar}, "H4");
        sib("vertical siblings only", {over, over, over}, "P W E1");
        sib("AVL bar following", {over, avlH, "3,ScrollBar,0,880,1200,897"}, "H4");
        sib("preceding AfxWnd42", {"1,AfxWnd42,0,0,1180,870", "2,ScrollBar,0,880,1200,897", over}, "H3");

    }
    void scroll()
    {
        QFETCH(QStringList, scene);
        QFETCH(QPoint, cursor);
        QFETCH(QString, expected);
        for (const bool left : {true, false}) {
            FakeAgentPlatform fakes;
            std::vector<WindowId> ids{0};
            for (const QString &window : scene) {
                const QStringList f = window.split(',');
                if (window.startsWith('!'))
                    fakes.windows->setEnumerationError(window.mid(1).toUInt());
                else if (!window.isEmpty())
                    ids.push_back(fakes.windows->addWindow(
                        ids.at(f[0].toUInt()), f[1].toStdString(),
                        {f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()},
                        (f.value(6).contains('h') ? kHScroll : 0) |
                            (f.value(6).contains('v') ? kVert : 0) |
                            (f.value(6).contains('s') ? kSizeBox : 0)));
            }
            fakes.input->setCursorPos({cursor.x(), cursor.y()});
            const QStringList sides = expected.split('|');
            const QStringList parts = sides.value(left ? 0 : 1, sides[0]).split('#');

            LogCapture log;
            QCOMPARE(::scroll(fakes, left), expand(parts[0], left, ids));
            for (const QString &text : parts.mid(1))
                QVERIFY2(log.contains(text.trimmed()), qPrintable(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestScrolling)
#include "tst_scrolling.moc"
