#include "scrollfunction.h"

#include "agentlog.h"
#include "agentplatform.h"
#include "cfindscrollbar.h"

#include <QDebug>
#include <QString>

namespace {

constexpr std::size_t kClassChars = 260;
constexpr std::uint8_t kVkLeft = 0x25;
constexpr std::uint8_t kVkRight = 0x27;
constexpr std::uintptr_t kSbLineLeft = 0;
constexpr std::uintptr_t kSbLineRight = 1;
constexpr int kStepsPerScroll = 2;

enum class Mode { BarParent, Keyboard, Generic };

bool contains(const std::string &className, const char *part)
{
    return className.find(part) != std::string::npos;
}

// Programs whose horizontal bar is a scroll-bar control next to the content
// window: the bar's parent is told about its bar.
const char *const kBarParentClasses[] = {
    "_WwG",   "paneClassDC", "VISIOG", "PSViewC",  "EditControl",  "FrontPageEditorDocumentView",
    "EXCEL7", "AVL_AVView",  "OGrid",  "OFormSub", "OPrtPrevPage",
};

// Programs that scroll sideways with the arrow keys.
const char *const kKeyboardClasses[] = {
    "MozillaWindowClass",
    "Chrome_RenderWidgetHostHWND",
    "OperaWindowClass",
};

} // namespace

struct ScrollFunction::Direction
{
    const char *logLine;
    std::uint8_t arrowKey;
    std::intptr_t keyDownLParam;
    std::intptr_t keyUpLParam;
    std::uintptr_t scrollCode;
    std::int32_t wheelAmount;
    const char *fallbackLogLine;
    bool netUiIsKeyboard;
};

ScrollFunction::ScrollFunction(AgentPlatform &platform, QObject *parent)
    : QObject(parent), m_platform(platform)
{
}

void ScrollFunction::ScrollLeft()
{
    static const Direction left{"ScrollLeft", kVkLeft, 0x014B0001,
                                static_cast<std::intptr_t>(0xC14B0001u), kSbLineLeft, -120,
                                "hHorizontal =0", true};
    scroll(left);
}

void ScrollFunction::ScrollRight()
{
    static const Direction right{"ScrollRight", kVkRight, 0x014D0001,
                                 static_cast<std::intptr_t>(0xC14D0001u), kSbLineRight, 120,
                                 "hHorizontal = 0", false};
    scroll(right);
}

void ScrollFunction::scroll(const Direction &direction)
{
    platform::WindowSystem &windows = *m_platform.windows;
    platform::InputInjector &input = *m_platform.input;

    qCDebug(lcAgentActions) << direction.logLine;
    const platform::Point cursor = input.cursorPos();
    const platform::WindowId window = windows.windowFromPoint(cursor);
    const platform::WindowId desktop = windows.desktopWindow();
    const std::string className = windows.className(window, kClassChars);
    qCDebug(lcAgentActions) << "ClassNameStr " << QString::fromStdString(className);

    if (window == desktop)
        return;
    if (contains(className, "SysListView32") && FindTopParent(windows, window))
        return;

    Mode mode = Mode::Generic;
    for (const char *part : kBarParentClasses) {
        if (contains(className, part)) {
            mode = Mode::BarParent;
            break;
        }
    }
    if (mode == Mode::Generic) {
        for (const char *part : kKeyboardClasses) {
            if (contains(className, part)) {
                mode = Mode::Keyboard;
                break;
            }
        }
        if (direction.netUiIsKeyboard && contains(className, "NetUIHWND"))
            mode = Mode::Keyboard;
    }

    if (mode == Mode::Keyboard) {
        qCDebug(lcAgentActions) << "hHorizontal = 1";
        qCDebug(lcAgentActions) << "hHorizontal ClassNameStr "
                 << QString::fromStdString(windows.className(window, kClassChars));
        for (int i = 0; i < kStepsPerScroll; ++i) {
            windows.postMessage(window, platform::kWmKeyDown, direction.arrowKey,
                                direction.keyDownLParam);
            input.pause(1);
            windows.postMessage(window, platform::kWmKeyUp, direction.arrowKey,
                                direction.keyUpLParam);
        }
        return;
    }

    qCDebug(lcAgentActions, "bMozillaFireFox=%x, bChrome=%x, bOpera=%x, Count=%d\n", 0, 0, 0, kStepsPerScroll);
    CFindScrollBar finder(windows, input);
    finder.setPoint(cursor.x, cursor.y);
    const platform::WindowId bar = finder.GetHScrollBar(window);
    if (bar == 0) {
        qCDebug(lcAgentActions) << direction.fallbackLogLine;
        input.mouseEvent(platform::kMouseHWheel, direction.wheelAmount);
        return;
    }

    qCDebug(lcAgentActions) << "hHorizontal = 1";
    qCDebug(lcAgentActions) << "hHorizontal ClassNameStr "
             << QString::fromStdString(windows.className(bar, kClassChars));

    if (mode == Mode::BarParent) {
        platform::Rect barRect;
        windows.screenRect(bar, barRect);
        qCDebug(lcAgentActions, "BarRect.left=%ld, BarRect.top=%ld\n", static_cast<long>(barRect.left),
               static_cast<long>(barRect.top));
        const platform::WindowId barParent = windows.parent(bar);
        for (int i = 0; i < kStepsPerScroll; ++i) {
            qCDebug(lcAgentActions, "Send Mouse_event\n");
            windows.postMessage(barParent, platform::kWmHScroll, direction.scrollCode,
                                static_cast<std::intptr_t>(bar));
        }
        return;
    }

    for (int i = 0; i < kStepsPerScroll; ++i) {
        qCDebug(lcAgentActions) << "TiltLineNum"
                 << "1";
        windows.postMessage(bar, platform::kWmHScroll, direction.scrollCode, 0);
    }
}
