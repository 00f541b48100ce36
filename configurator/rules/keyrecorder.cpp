#include "keyrecorder.h"

#include <QSysInfo>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

using keycombination::Side;

// Qt keys whose table name differs from their own (the shifted symbols by the
// key of a US keyboard they are on); a second name for the keypad's.
struct QtKeyName
{
    int key;
    const char *name;
    const char *keypadName;
};
constexpr QtKeyName kQtKeys[] = {
    {Qt::Key_Escape, "Esc", nullptr},
    {Qt::Key_Tab, "Tab", nullptr},
    {Qt::Key_Backtab, "Tab", nullptr},
    {Qt::Key_Backspace, "Backspace", nullptr},
    {Qt::Key_Return, "Enter", nullptr},
    {Qt::Key_Enter, "Enter", nullptr},
    {Qt::Key_Insert, "Insert", "Num0"},
    {Qt::Key_Delete, "Delete", "NumDecimal"},
    {Qt::Key_Pause, "Pause", nullptr},
    {Qt::Key_Print, "PrintScreen", nullptr},
    {Qt::Key_Home, "Home", "Num7"},
    {Qt::Key_End, "End", "Num1"},
    {Qt::Key_Left, "Left", "Num4"},
    {Qt::Key_Up, "Up", "Num8"},
    {Qt::Key_Right, "Right", "Num6"},
    {Qt::Key_Down, "Down", "Num2"},
    {Qt::Key_PageUp, "PageUp", "Num9"},
    {Qt::Key_PageDown, "PageDown", "Num3"},
    {Qt::Key_Clear, "Num5", "Num5"},
    {Qt::Key_CapsLock, "CapsLock", nullptr},
    {Qt::Key_NumLock, "NumLock", nullptr},
    {Qt::Key_ScrollLock, "ScrollLock", nullptr},
    {Qt::Key_Menu, "Menu", nullptr},
    {Qt::Key_Space, "Space", nullptr},
    {Qt::Key_Plus, "Plus", "NumAdd"},
    {Qt::Key_Equal, "Plus", nullptr},
    {Qt::Key_Minus, "Minus", "NumSubtract"},
    {Qt::Key_Underscore, "Minus", nullptr},
    {Qt::Key_Comma, "Comma", nullptr},
    {Qt::Key_Less, "Comma", nullptr},
    {Qt::Key_Period, "Period", "NumDecimal"},
    {Qt::Key_Greater, "Period", nullptr},
    {Qt::Key_Slash, "Slash", "NumDivide"},
    {Qt::Key_Question, "Slash", nullptr},
    {Qt::Key_Semicolon, "Semicolon", nullptr},
    {Qt::Key_Colon, "Semicolon", nullptr},
    {Qt::Key_Apostrophe, "Quote", nullptr},
    {Qt::Key_QuoteDbl, "Quote", nullptr},
    {Qt::Key_BracketLeft, "BracketLeft", nullptr},
    {Qt::Key_BraceLeft, "BracketLeft", nullptr},
    {Qt::Key_BracketRight, "BracketRight", nullptr},
    {Qt::Key_BraceRight, "BracketRight", nullptr},
    {Qt::Key_Backslash, "Backslash", nullptr},
    {Qt::Key_Bar, "Backslash", nullptr},
    {Qt::Key_QuoteLeft, "Backquote", nullptr},
    {Qt::Key_AsciiTilde, "Backquote", nullptr},
    {Qt::Key_Asterisk, "8", "NumMultiply"},
    {Qt::Key_Exclam, "1", nullptr},
    {Qt::Key_At, "2", nullptr},
    {Qt::Key_NumberSign, "3", nullptr},
    {Qt::Key_Dollar, "4", nullptr},
    {Qt::Key_Percent, "5", nullptr},
    {Qt::Key_AsciiCircum, "6", nullptr},
    {Qt::Key_Ampersand, "7", nullptr},
    {Qt::Key_ParenLeft, "9", nullptr},
    {Qt::Key_ParenRight, "0", nullptr},
    {Qt::Key_VolumeUp, "VolumeUp", nullptr},
    {Qt::Key_VolumeDown, "VolumeDown", nullptr},
    {Qt::Key_VolumeMute, "VolumeMute", nullptr},
    {Qt::Key_MediaNext, "MediaNext", nullptr},
    {Qt::Key_MediaPrevious, "MediaPrevious", nullptr},
    {Qt::Key_MediaStop, "MediaStop", nullptr},
    {Qt::Key_MediaPlay, "MediaPlayPause", nullptr},
    {Qt::Key_MediaTogglePlayPause, "MediaPlayPause", nullptr},
    {Qt::Key_Back, "BrowserBack", nullptr},
    {Qt::Key_Forward, "BrowserForward", nullptr},
    {Qt::Key_Refresh, "BrowserRefresh", nullptr},
    {Qt::Key_HomePage, "BrowserHome", nullptr},
};

struct ModifierKey
{
    int key;
    keycombination::Modifier modifier;
    // Native scan codes of the right-hand key: the key code (X11, Wayland) and
    // the scan code with the extended bit (Windows).
    quint32 rightKeyCode;
    quint32 rightScanCode;
};
constexpr ModifierKey kModifierKeys[] = {
    {Qt::Key_Control, keycombination::Ctrl, 105, 0x11D},
    {Qt::Key_Alt, keycombination::Alt, 108, 0x138},
    {Qt::Key_AltGr, keycombination::Alt, 108, 0x138},
    {Qt::Key_Shift, keycombination::Shift, 62, 0x36},
    {Qt::Key_Meta, keycombination::Win, 134, 0x15C},
    {Qt::Key_Super_L, keycombination::Win, 0, 0},
    {Qt::Key_Super_R, keycombination::Win, 134, 0x15C},
};

const ModifierKey *modifierKey(int key)
{
    const auto found = std::find_if(std::begin(kModifierKeys), std::end(kModifierKeys),
                                    [key](const ModifierKey &m) { return m.key == key; });
    return found == std::end(kModifierKeys) ? nullptr : found;
}

constexpr std::pair<Qt::KeyboardModifier, keycombination::Modifier> kHeld[] = {
    {Qt::ControlModifier, keycombination::Ctrl},
    {Qt::AltModifier, keycombination::Alt},
    {Qt::ShiftModifier, keycombination::Shift},
    {Qt::MetaModifier, keycombination::Win},
};

} // namespace

KeyRecorder::KeyRecorder(QObject *parent)
    : QObject(parent), m_windowsNames(QSysInfo::kernelType() == QLatin1String("winnt"))
{
}

QString KeyRecorder::keyName(int key, int modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(char('A' + (key - Qt::Key_A)));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (keypad ? QStringLiteral("Num") : QString()) + QChar(char('0' + (key - Qt::Key_0)));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    for (const QtKeyName &k : kQtKeys)
        if (k.key == key)
            return QLatin1String(keypad && k.keypadName ? k.keypadName : k.name);
    return QString();
}

void KeyRecorder::modifierPressed(int key, quint32 nativeScanCode)
{
    const ModifierKey *m = modifierKey(key);
    const quint32 rightCode = m_windowsNames ? m->rightScanCode : m->rightKeyCode;
    const bool right = rightCode && nativeScanCode == rightCode;
    // The left one is the one "Ctrl" stands for; only the right one is named apart.
    m_sides[m->modifier] = right || key == Qt::Key_AltGr ? Side::Right : Side::Either;
}

bool KeyRecorder::keyPressed(int key, int modifiers, quint32 nativeScanCode)
{
    if (modifierKey(key)) {
        modifierPressed(key, nativeScanCode);
        return true;
    }
    const QString name = keyName(key, modifiers);
    if (name.isEmpty())
        return false;
    QStringList parts;
    for (const auto &[flag, modifier] : kHeld)
        if (modifiers & flag)
            parts << keycombination::modifierName(
                modifier, m_sides[modifier] == Side::None ? Side::Either : m_sides[modifier],
                m_windowsNames);
    parts << name;
    const QString step = parts.join(QLatin1Char('+'));
    // A step follows a usable text; anything else starts afresh.
    const QString joined = keycombination::parse(m_text) ? m_text + QLatin1String(", ") + step : step;
    keycombination::Problem problem = keycombination::Problem::None;
    QString offending;
    const std::optional<keycombination::Combination> combination =
        keycombination::parse(joined, &problem, &offending);
    if (!combination) {
        m_problem = keycombination::describe(problem, offending);
    } else {
        m_text = keycombination::format(*combination, m_windowsNames);
        m_problem.clear();
    }
    emit changed();
    return true;
}

void KeyRecorder::keyReleased(int key)
{
    if (const ModifierKey *m = modifierKey(key))
        m_sides[m->modifier] = Side::None;
}

void KeyRecorder::setText(const QString &text)
{
    m_text = text;
    keycombination::Problem problem = keycombination::Problem::None;
    QString offending;
    m_problem = keycombination::parse(text, &problem, &offending)
                    ? QString()
                    : keycombination::describe(problem, offending);
    emit changed();
}

void KeyRecorder::clear()
{
    m_text.clear();
    m_problem.clear();
    m_sides.fill(Side::None);
    emit changed();
}
