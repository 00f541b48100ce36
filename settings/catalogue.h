// The function catalogue: the numbered functions a control can be given, in two
// lists with separate number spaces. The key list is offered for the four keys,
// the wheel list for the two wheels. A control's function entry stores the index
// of the chosen item as the page numbered it when it was chosen.
//
// The pages build each list from a longer source list and remove some items
// before the user sees it; under the "win8" Windows version class they remove one
// item more, so every index after it is one lower there. The agent works in the
// numbering of the other classes (the canonical one) and converts stored indexes
// with canonicalIndex().
//
// All data is constant; every function may be called from any thread.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>

namespace catalogue {

enum class List { Keys, Wheels };

// Key functions by canonical index ("win7" and "win10" numbering, 0..48).
enum class Key : int {
    MediaPlayer = 0,
    OpenWebPage = 1,
    OpenFile = 2,
    OpenFolder = 3,
    OpenApplication = 4,
    PlaySound = 5,
    MouseSpeed = 6,
    MyPicture = 7,
    MyDocuments = 8,
    MyComputer = 9,
    MyVideo = 10,
    MyMusic = 11,
    Copy = 12,
    Clipping = 13,
    Paste = 14,
    Shutdown = 15,
    Reboot = 16,
    MaxWindow = 17,
    MinWindow = 18,
    LogOut = 19,
    Homepage = 20,
    CloseWindow = 21,
    IncreaseVolume = 22,
    Search = 23,
    ShowHideDesktop = 24,
    Calculator = 25,
    LowerVolume = 26,
    Silent = 27,
    LockScreen = 28,
    SelectAll = 29,
    New = 30,
    Save = 31,
    Print = 32,
    ResourceManager = 33,
    MouseLeftClick = 34,
    MouseRightClick = 35,
    RollForward = 36,
    RollBack = 37,
    Run = 38,
    ZoomIn = 39,
    ZoomOut = 40,
    SwitchApplication = 41,
    WindowsMenu = 42,
    PlayPause = 43,
    Stop = 44,
    Previous = 45,
    Next = 46,
    DoubleClick = 47,
    None = 48,
};

// Wheel functions by canonical index (0..9).
enum class Wheel : int {
    VolumeControl = 0,
    ScrollHorizontally = 1,
    SwitchApplications = 2,
    BrightnessControl = 3,
    TabPreviousNext = 4,
    ZoomInOut = 5,
    SongPreviousNext = 6,
    PlayPause = 7,
    Stop = 8,
    None = 9,
};

constexpr int kKeyCount = 49;   // canonical key list
constexpr int kWheelCount = 10; // canonical wheel list

// When the pages remove an item of the source list.
enum class Shown {
    Always,
    NotUnderWin8, // removed under "win8" only
    Never,        // in the source list, but every page removes it
};

// What a key function performs on one half of a press (the key going down, or up).
enum class Effect : std::uint8_t {
    Nothing,
    OwnButton,      // the key's own button: middle, right, back, forward
    LeftButton,     // the left button, down or up with the key
    RightButton,    // the right button, down or up with the key
    CtrlShortcut,   // Ctrl + the letter `argument`
    MediaKey,       // the media key of virtual key `argument`
    RunProgram,     // `program`: a program or a shell name ("calc.exe", "search-ms:")
    OpenParameter,  // the web page, file, folder, program or sound the control stores
    PointerSpeed,   // the control's two pointer speeds in turn
    SpecialFolder,  // the shell folder of CSIDL `argument`
    ExitWindows,    // ExitKind `argument`
    WindowState,    // WindowChange `argument` of the window in front
    DefaultBrowser, // the default browser's home page
    CloseWindow,    // the window in front
    VolumeStep,     // Direction `argument`
    ToggleMute,
    LockWorkstation,
    ShowDesktop,
    WheelStep, // Direction `argument` of the vertical wheel
    RunDialog,
    Zoom, // Direction `argument`: in is up
    SwitchWindow,
    WindowsKey,
    DoubleClick,
    // The wheels' steps; `argument` is the Direction the step performs.
    ScrollSideways,  // up: to the left
    ApplicationStep, // up: the previous application
    BrightnessStep,
    TabStep,     // up: the previous tab
    OwnMovement, // the wheel's own step (vertical or horizontal)
};
enum class ExitKind : int { LogOff = 0, ShutDown = 1, Restart = 2 };
enum class WindowChange : int { Maximise = 0, Minimise = 1 };
enum class Direction : int { Up = 0, Down = 1 };

struct Action
{
    Effect effect = Effect::Nothing;
    int argument = 0;
    const char *program = nullptr;
};

// One item of a source list, in the order the pages hold it.
struct SourceItem
{
    const char *text;        // page text
    const char *chineseText; // page text of the Chinese translation (UTF-8)
    Shown shown;
    int canonicalIndex; // -1 for items that are never shown
    // The PATH suffixes the function reads for the control ("_web_url", ...);
    // null when it takes none.
    const char *parameter;
    const char *secondParameter;
    // What the agent performs when the key goes down and when it comes up (key
    // functions).
    Action press{};
    Action release{};
    // What a step of the wheel performs, up and down (wheel functions); with
    // `anyStep` the up action runs for every step, whatever its direction.
    Action up{};
    Action down{};
    bool anyStep = false;
};

// One item as a page shows it.
struct PageItem
{
    int index;          // position in the page's list: the index a page stores
    int canonicalIndex; // the function
    QString text;
    QString chineseText;
};

// The source list the pages build a list from.
const QVector<SourceItem> &sourceList(List list);

// The list a page shows under a Windows version class.
QVector<PageItem> pageList(List list, const QString &versionClass);

// The page texts of pageList(), in the Chinese translation when `chinese`.
QStringList pageTexts(List list, const QString &versionClass, bool chinese);

// A page text as the pages show it, in the user's language: translated in the
// pages' own contexts, "MouseKeyPress" and "MouseWheelAction".
QString shownText(List list, const QString &text);

// True for the "win8" class, in any letter case.
bool isWin8(const QString &versionClass);

// The canonical index of an index stored under `versionClass`: under "win8" every
// index from the position of the item removed there on is one higher. Indexes
// outside the list are shifted by the same rule and stay outside it (INT_MAX
// stays INT_MAX).
int canonicalIndex(List list, int storedIndex, const QString &versionClass);

// The index a page under `versionClass` shows a canonical function at; -1 when
// that page does not show it.
int pageIndex(List list, int canonical, const QString &versionClass);

// The index of "None" in a page's list: 48 and 9, or 47 and 8 under "win8".
int noneIndex(List list, const QString &versionClass);

// The canonical item for an index, or null outside the list.
const SourceItem *item(List list, int canonical);

} // namespace catalogue
