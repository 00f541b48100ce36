#include "catalogue.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <array>
#include <climits>

namespace catalogue {
namespace {

constexpr Shown A = Shown::Always;
constexpr Shown W = Shown::NotUnderWin8;
constexpr Shown N = Shown::Never;
using E = Effect;

// The key pages' source list. The texts are the pages' (translated in their
// contexts, "MouseKeyPress" and "MouseWheelAction"). Canonical indexes follow the order of the items
// that are shown under every class but "win8".
// clang-format off
const QVector<SourceItem> kKeySource = {
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Media Player"), "媒体播放器", A, 0, nullptr, nullptr, {}, {E::RunProgram, 0, "wmplayer.exe"}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Open Web page"), "打开网页", A, 1, "_web_url", nullptr, {}, {E::OpenParameter, 1}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Open file"), "打开文件", A, 2, "_file_path", nullptr, {}, {E::OpenParameter, 2}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Open floder"), "打开文件夹", A, 3, "_folder_path", nullptr, {}, {E::OpenParameter, 3}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Open application"), "打开应用", A, 4, "_app_path", nullptr, {}, {E::OpenParameter, 4}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Play sound"), "播放声音", A, 5, "_sound_path", nullptr, {}, {E::OpenParameter, 5}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Mouse speed"), "鼠标速度", A, 6, "_main_speed", "_self_speed", {}, {E::PointerSpeed}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "My picture"), "我的图片", A, 7, nullptr, nullptr, {}, {E::SpecialFolder, 0x27}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "My Documents"), "我的文档", A, 8, nullptr, nullptr, {}, {E::SpecialFolder, 0x05}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "My computer"), "我的电脑", A, 9, nullptr, nullptr, {}, {E::SpecialFolder, 0x11}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "My video"), "我的视频", A, 10, nullptr, nullptr, {}, {E::SpecialFolder, 0x0E}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "My music"), "我的音乐", A, 11, nullptr, nullptr, {}, {E::SpecialFolder, 0x0D}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Copy"), "复制", A, 12, nullptr, nullptr, {}, {E::CtrlShortcut, 'C'}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Clipping"), "剪切", A, 13, nullptr, nullptr, {}, {E::CtrlShortcut, 'X'}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Paste"), "粘贴", A, 14, nullptr, nullptr, {}, {E::CtrlShortcut, 'V'}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Shutdown"), "关机", A, 15, nullptr, nullptr, {}, {E::ExitWindows, int(ExitKind::ShutDown)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Reboot"), "重启", A, 16, nullptr, nullptr, {}, {E::ExitWindows, int(ExitKind::Restart)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Max window"), "最大化窗口", A, 17, nullptr, nullptr, {}, {E::WindowState, int(WindowChange::Maximise)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Min window"), "最小化窗口", A, 18, nullptr, nullptr, {}, {E::WindowState, int(WindowChange::Minimise)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Log out"), "注销", A, 19, nullptr, nullptr, {}, {E::ExitWindows, int(ExitKind::LogOff)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Homepage"), "主页", A, 20, nullptr, nullptr, {}, {E::DefaultBrowser}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Close window"), "关闭窗口", A, 21, nullptr, nullptr, {}, {E::CloseWindow}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Increase volume"), "提高音量", A, 22, nullptr, nullptr, {}, {E::VolumeStep, int(Direction::Up)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Search"), "搜索", A, 23, nullptr, nullptr, {}, {E::RunProgram, 0, "search-ms:"}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Show/hide desktop"), "显示/隐藏桌面", A, 24, nullptr, nullptr, {}, {E::ShowDesktop}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Calculator"), "计算器", A, 25, nullptr, nullptr, {}, {E::RunProgram, 0, "calc.exe"}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Lower volume"), "降低音量", A, 26, nullptr, nullptr, {}, {E::VolumeStep, int(Direction::Down)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Silent"), "静音", A, 27, nullptr, nullptr, {}, {E::ToggleMute}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Lock screen"), "锁屏", A, 28, nullptr, nullptr, {}, {E::LockWorkstation}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Select All"), "全选", A, 29, nullptr, nullptr, {}, {E::CtrlShortcut, 'A'}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "New"), "新建", A, 30, nullptr, nullptr, {}, {E::CtrlShortcut, 'N'}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Save"), "保存", A, 31, nullptr, nullptr, {}, {E::CtrlShortcut, 'S'}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Print"), "打印", A, 32, nullptr, nullptr, {}, {E::CtrlShortcut, 'P'}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Resource manager"), "资源管理器", A, 33, nullptr, nullptr, {}, {E::RunProgram, 0, "taskmgr.exe"}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Mouse left click"), "左键单击", A, 34, nullptr, nullptr, {E::LeftButton}, {E::LeftButton}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Mouse right click"), "右键单击", A, 35, nullptr, nullptr, {E::RightButton}, {E::RightButton}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Forward"), "前进", N, -1, nullptr, nullptr},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Backward"), "后退", N, -1, nullptr, nullptr},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Roll forward"), "滚轮向前滚动", A, 36, nullptr, nullptr, {}, {E::WheelStep, int(Direction::Up)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Roll back"), "滚轮向后滚动", A, 37, nullptr, nullptr, {}, {E::WheelStep, int(Direction::Down)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Roll left"), "滚轮向左滚动", N, -1, nullptr, nullptr},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Roll right"), "滚轮向右滚动", N, -1, nullptr, nullptr},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Run"), "运行", A, 38, nullptr, nullptr, {}, {E::RunDialog}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Zoom In"), "放大", A, 39, nullptr, nullptr, {}, {E::Zoom, int(Direction::Up)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Zoom Out"), "缩小", A, 40, nullptr, nullptr, {}, {E::Zoom, int(Direction::Down)}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Switch application"), "切换应用", W, 41, nullptr, nullptr, {}, {E::SwitchWindow}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Windows menu"), "开始菜单", A, 42, nullptr, nullptr, {}, {E::WindowsKey}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Play/Pause"), "播放/暂停", A, 43, nullptr, nullptr, {}, {E::MediaKey, 0xB3}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Stop"), "停止", A, 44, nullptr, nullptr, {}, {E::MediaKey, 0xB2}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Previous"), "上一曲", A, 45, nullptr, nullptr, {}, {E::MediaKey, 0xB1}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "Next"), "下一曲", A, 46, nullptr, nullptr, {}, {E::MediaKey, 0xB0}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "DoubleClick"), "左键双击", A, 47, nullptr, nullptr, {}, {E::DoubleClick}},
    {QT_TRANSLATE_NOOP("MouseKeyPress", "None"), "无", A, 48, nullptr, nullptr, {E::OwnButton}, {E::OwnButton}},
};

const QVector<SourceItem> kWheelSource = {
    {QT_TRANSLATE_NOOP("MouseWheelAction", "Volume control"), "音量控制", A, 0, nullptr, nullptr, {}, {}, {E::VolumeStep, int(Direction::Up)}, {E::VolumeStep, int(Direction::Down)}},
    {QT_TRANSLATE_NOOP("MouseWheelAction", "Scroll horizontally"), "水平滚动", A, 1, nullptr, nullptr, {}, {}, {E::ScrollSideways, int(Direction::Up)}, {E::ScrollSideways, int(Direction::Down)}},
    {QT_TRANSLATE_NOOP("MouseWheelAction", "Switch applications"), "切换应用", W, 2, nullptr, nullptr, {}, {}, {E::ApplicationStep, int(Direction::Up)}, {E::ApplicationStep, int(Direction::Down)}},
    {QT_TRANSLATE_NOOP("MouseWheelAction", "Brightness control"), "亮度控制", A, 3, nullptr, nullptr, {}, {}, {E::BrightnessStep, int(Direction::Up)}, {E::BrightnessStep, int(Direction::Down)}},
    {QT_TRANSLATE_NOOP("MouseWheelAction", "Tab Previous/Next"), "上一个/下一个标签页", A, 4, nullptr, nullptr, {}, {}, {E::TabStep, int(Direction::Up)}, {E::TabStep, int(Direction::Down)}},
    {QT_TRANSLATE_NOOP("MouseWheelAction", "Zoom in/out"), "放大/缩小", A, 5, nullptr, nullptr, {}, {}, {E::Zoom, int(Direction::Up)}, {E::Zoom, int(Direction::Down)}},
    {QT_TRANSLATE_NOOP("MouseWheelAction", "Song Previous/Next"), "上一曲/下一曲", A, 6, nullptr, nullptr, {}, {}, {E::MediaKey, 0xB1}, {E::MediaKey, 0xB0}},
    {QT_TRANSLATE_NOOP("MouseWheelAction", "Play/Pause"), "播放/暂停", A, 7, nullptr, nullptr, {}, {}, {E::MediaKey, 0xB3}, {}, true},
    {QT_TRANSLATE_NOOP("MouseWheelAction", "Stop"), "停止", A, 8, nullptr, nullptr, {}, {}, {E::MediaKey, 0xB2}, {}, true},
    {QT_TRANSLATE_NOOP("MouseWheelAction", "None"), "无", A, 9, nullptr, nullptr, {}, {}, {E::OwnMovement, int(Direction::Up)}, {E::OwnMovement, int(Direction::Down)}},
};
// clang-format on

bool shownUnder(const SourceItem &item, bool win8)
{
    return item.shown == Shown::Always || (item.shown == Shown::NotUnderWin8 && !win8);
}

// The canonical index of the item that "win8" pages remove.
int win8RemovedIndex(List list)
{
    for (const SourceItem &item : sourceList(list))
        if (item.shown == Shown::NotUnderWin8)
            return item.canonicalIndex;
    return -1;
}

} // namespace

const QVector<SourceItem> &sourceList(List list)
{
    return list == List::Keys ? kKeySource : kWheelSource;
}

QString shownText(List list, const QString &text)
{
    return QCoreApplication::translate(list == List::Keys ? "MouseKeyPress" : "MouseWheelAction",
                                       text.toUtf8().constData());
}

bool isWin8(const QString &versionClass)
{
    return versionClass.compare(QLatin1String("win8"), Qt::CaseInsensitive) == 0;
}

QVector<PageItem> pageList(List list, const QString &versionClass)
{
    const bool win8 = isWin8(versionClass);
    QVector<PageItem> page;
    for (const SourceItem &item : sourceList(list)) {
        if (!shownUnder(item, win8))
            continue;
        page.append({page.size(), item.canonicalIndex, QString::fromUtf8(item.text),
                     QString::fromUtf8(item.chineseText)});
    }
    return page;
}

QStringList pageTexts(List list, const QString &versionClass, bool chinese)
{
    QStringList texts;
    for (const PageItem &item : pageList(list, versionClass))
        texts.append(chinese ? item.chineseText : item.text);
    return texts;
}

int canonicalIndex(List list, int storedIndex, const QString &versionClass)
{
    if (!isWin8(versionClass))
        return storedIndex;
    const int removed = win8RemovedIndex(list);
    // The largest index has no successor; it is outside the list either way.
    const bool shifted = removed >= 0 && storedIndex >= removed && storedIndex < INT_MAX;
    return shifted ? storedIndex + 1 : storedIndex;
}

int pageIndex(List list, int canonical, const QString &versionClass)
{
    for (const PageItem &item : pageList(list, versionClass))
        if (item.canonicalIndex == canonical)
            return item.index;
    return -1;
}

int noneIndex(List list, const QString &versionClass)
{
    const int none = list == List::Keys ? int(Key::None) : int(Wheel::None);
    return pageIndex(list, none, versionClass);
}

const SourceItem *item(List list, int canonical)
{
    // The dispatcher asks at every event: the items by canonical index, made once.
    using Index = std::array<const SourceItem *, kKeyCount>;
    static const std::array<Index, 2> byCanonical = [] {
        std::array<Index, 2> index{};
        for (List l : {List::Keys, List::Wheels})
            for (const SourceItem &entry : sourceList(l))
                if (entry.shown != Shown::Never)
                    index[size_t(l)][size_t(entry.canonicalIndex)] = &entry;
        return index;
    }();
    const int count = list == List::Keys ? kKeyCount : kWheelCount;
    return canonical >= 0 && canonical < count ? byCanonical[size_t(list)][size_t(canonical)]
                                               : nullptr;
}

} // namespace catalogue
