#include "keycombination.h"


#include <QCoreApplication>

#include <algorithm>
#include <iterator>
#include <string>

namespace keycombination {

const char kItemText[] = QT_TRANSLATE_NOOP("MouseKeyPress", "Key combination...");

namespace {

// The keys a step can end in. Letters, digits and F1 to F24 follow from their
// virtual keys; the rest by name. Extended: the keys Windows reports with the
// extended flag (the navigation block, the right-hand modifiers, the media keys).
constexpr KeyName kNamedKeys[] = {
    {"Esc", 0x1B, false},          {"Tab", 0x09, false},          {"Enter", 0x0D, false},
    {"Space", 0x20, false},        {"Backspace", 0x08, false},    {"Insert", 0x2D, true},
    {"Delete", 0x2E, true},        {"Home", 0x24, true},          {"End", 0x23, true},
    {"PageUp", 0x21, true},        {"PageDown", 0x22, true},      {"Left", 0x25, true},
    {"Up", 0x26, true},            {"Right", 0x27, true},         {"Down", 0x28, true},
    {"PrintScreen", 0x2C, true},   {"Pause", 0x13, false},        {"CapsLock", 0x14, false},
    {"NumLock", 0x90, true},       {"ScrollLock", 0x91, false},   {"Menu", 0x5D, true},
    {"Plus", 0xBB, false},         {"Minus", 0xBD, false},        {"Comma", 0xBC, false},
    {"Period", 0xBE, false},       {"Slash", 0xBF, false},        {"Semicolon", 0xBA, false},
    {"Quote", 0xDE, false},        {"BracketLeft", 0xDB, false},  {"BracketRight", 0xDD, false},
    {"Backslash", 0xDC, false},    {"Backquote", 0xC0, false},    {"NumMultiply", 0x6A, false},
    {"NumAdd", 0x6B, false},       {"NumSubtract", 0x6D, false},  {"NumDecimal", 0x6E, false},
    {"NumDivide", 0x6F, true},     {"VolumeMute", 0xAD, true},    {"VolumeDown", 0xAE, true},
    {"VolumeUp", 0xAF, true},      {"MediaNext", 0xB0, true},     {"MediaPrevious", 0xB1, true},
    {"MediaStop", 0xB2, true},     {"MediaPlayPause", 0xB3, true}, {"BrowserBack", 0xA6, true},
    {"BrowserForward", 0xA7, true}, {"BrowserRefresh", 0xA8, true}, {"BrowserHome", 0xAC, true},
};

// Other spellings read as the names above.
constexpr std::pair<const char *, const char *> kAliases[] = {
    {"Escape", "Esc"}, {"Return", "Enter"}, {"Del", "Delete"}, {"Ins", "Insert"},
    {"PgUp", "PageUp"}, {"PgDown", "PageDown"}, {"PgDn", "PageDown"}, {"Equal", "Plus"},
};

// Letters, digits and function keys: their names are their own table.
struct Generated
{
    KeyName keys[26 + 10 + 24 + 10];
    char names[26 + 10 + 24 + 10][6];
    Generated()
    {
        int n = 0;
        const auto add = [&](const std::string &name, int vk) {
            std::copy(name.begin(), name.end(), names[n]);
            names[n][name.size()] = '\0';
            keys[n] = {names[n], std::uint8_t(vk), false};
            ++n;
        };
        for (char c = 'A'; c <= 'Z'; ++c)
            add(std::string(1, c), c);
        for (char c = '0'; c <= '9'; ++c)
            add(std::string(1, c), c);
        for (int f = 1; f <= 24; ++f)
            add("F" + std::to_string(f), 0x6F + f);
        for (int d = 0; d <= 9; ++d)
            add("Num" + std::to_string(d), 0x60 + d);
    }
};
const Generated &generated()
{
    static const Generated table;
    return table;
}

struct ModifierName
{
    const char *name;
    Modifier modifier;
    Side side;
};
constexpr ModifierName kModifierNames[] = {
    {"Ctrl", Ctrl, Side::Either},  {"Control", Ctrl, Side::Either}, {"LCtrl", Ctrl, Side::Left},
    {"RCtrl", Ctrl, Side::Right},  {"Alt", Alt, Side::Either},      {"LAlt", Alt, Side::Left},
    {"RAlt", Alt, Side::Right},    {"AltGr", Alt, Side::Right},     {"Shift", Shift, Side::Either},
    {"LShift", Shift, Side::Left}, {"RShift", Shift, Side::Right},  {"Win", Win, Side::Either},
    {"Super", Win, Side::Either},  {"Meta", Win, Side::Either},     {"LWin", Win, Side::Left},
    {"RWin", Win, Side::Right},    {"LSuper", Win, Side::Left},     {"RSuper", Win, Side::Right},
};
// Left and right virtual key of each modifier, and whether they are extended.
constexpr Stroke kModifierKeys[kModifierCount][2] = {
    {{0xA2, false}, {0xA3, true}}, // Ctrl
    {{0xA4, false}, {0xA5, true}}, // Alt
    {{0xA0, false}, {0xA1, false}}, // Shift
    {{0x5B, true}, {0x5C, true}},  // Win
};
constexpr const char *kModifierTexts[kModifierCount] = {"Ctrl", "Alt", "Shift", nullptr};

bool same(const QString &text, const char *name)
{
    return text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

const ModifierName *modifierByName(const QString &name)
{
    const auto found = std::find_if(std::begin(kModifierNames), std::end(kModifierNames),
                                    [&](const ModifierName &m) { return same(name, m.name); });
    return found == std::end(kModifierNames) ? nullptr : found;
}

} // namespace

bool Step::operator==(const Step &other) const
{
    return std::equal(std::begin(modifiers), std::end(modifiers), std::begin(other.modifiers)) &&
           virtualKey == other.virtualKey && extended == other.extended;
}

const KeyName *keyByName(const QString &name)
{
    QString wanted = name;
    for (const auto &[alias, canonical] : kAliases)
        if (same(name, alias))
            wanted = QLatin1String(canonical);
    for (const KeyName &key : kNamedKeys)
        if (same(wanted, key.name))
            return &key;
    for (const KeyName &key : generated().keys)
        if (same(wanted, key.name))
            return &key;
    return nullptr;
}

const KeyName *keyByVirtualKey(std::uint8_t virtualKey)
{
    for (const KeyName &key : generated().keys)
        if (key.virtualKey == virtualKey)
            return &key;
    for (const KeyName &key : kNamedKeys)
        if (key.virtualKey == virtualKey)
            return &key;
    return nullptr;
}

std::optional<Combination> parse(const QString &text, Problem *problem, QString *name)
{
    const auto fail = [&](Problem p, const QString &offending = QString()) {
        if (problem)
            *problem = p;
        if (name)
            *name = offending;
        return std::nullopt;
    };
    if (text.size() > kMaxTextLength)
        return fail(Problem::TooLong);
    if (text.trimmed().isEmpty())
        return fail(Problem::Empty);
    const QStringList stepTexts = text.split(QLatin1Char(','));
    if (stepTexts.size() > kMaxSteps)
        return fail(Problem::TooManySteps);
    Combination combination;
    for (const QString &stepText : stepTexts) {
        Step step;
        bool haveKey = false;
        for (const QString &raw : stepText.split(QLatin1Char('+'))) {
            const QString part = raw.trimmed();
            if (const ModifierName *m = modifierByName(part)) {
                // A named side wins over "Ctrl"; of two sides the later one.
                Side &side = step.modifiers[m->modifier];
                if (side == Side::None || m->side != Side::Either)
                    side = m->side;
                continue;
            }
            const KeyName *key = keyByName(part);
            if (!key)
                return fail(Problem::UnknownName, part);
            if (haveKey)
                return fail(Problem::TwoKeys, part);
            step.virtualKey = key->virtualKey;
            step.extended = key->extended;
            haveKey = true;
        }
        if (!haveKey)
            return fail(Problem::NoKey, stepText.trimmed());
        combination.append(step);
    }
    if (problem)
        *problem = Problem::None;
    return combination;
}

QString modifierName(Modifier modifier, Side side, bool windowsNames)
{
    const QString base = QLatin1String(kModifierTexts[modifier] ? kModifierTexts[modifier]
                                       : windowsNames           ? "Win"
                                                                : "Super");
    return side == Side::Left    ? QLatin1Char('L') + base
           : side == Side::Right ? QLatin1Char('R') + base
                                 : base;
}

QString format(const Combination &combination, bool windowsNames)
{
    QStringList steps;
    for (const Step &step : combination) {
        QStringList parts;
        for (int m = 0; m < kModifierCount; ++m)
            if (step.modifiers[m] != Side::None)
                parts << modifierName(Modifier(m), step.modifiers[m], windowsNames);
        const KeyName *key = keyByVirtualKey(step.virtualKey);
        parts << (key ? QLatin1String(key->name) : QStringLiteral("?"));
        steps << parts.join(QLatin1Char('+'));
    }
    return steps.join(QLatin1String(", "));
}

QString describe(Problem problem, const QString &name)
{
    switch (problem) {
    case Problem::None:
        return QString();
    case Problem::Empty:
        return QCoreApplication::translate("KeyCombination", "No key combination entered");
    case Problem::TooLong:
        return QCoreApplication::translate("KeyCombination", "The key combination is too long");
    case Problem::TooManySteps:
        return QCoreApplication::translate("KeyCombination",
                                           "At most 8 combinations can follow one another");
    case Problem::UnknownName:
        return QCoreApplication::translate("KeyCombination", "Unknown key: %1").arg(name);
    case Problem::NoKey:
        return QCoreApplication::translate("KeyCombination",
                                           "A key is missing after the modifiers: %1")
            .arg(name);
    case Problem::TwoKeys:
        return QCoreApplication::translate("KeyCombination",
                                           "Only one key besides Ctrl, Alt, Shift and Win: %1")
            .arg(name);
    }
    return QString();
}

QVector<Stroke> strokes(const Step &step)
{
    QVector<Stroke> out;
    for (int m = 0; m < kModifierCount; ++m) {
        const Side side = step.modifiers[m];
        if (side != Side::None)
            out << kModifierKeys[m][side == Side::Right ? 1 : 0];
    }
    out << Stroke{step.virtualKey, step.extended};
    return out;
}

QStringList storageKeys(const controls::Control &control)
{
    const QString base = QLatin1String(control.setKey) + QLatin1String("_combination");
    return control.isWheel ? QStringList{base + QLatin1String("_up"), base + QLatin1String("_down")}
                           : QStringList{base};
}

QString entryFor(const controls::Control &control, const QString &versionClass)
{
    return QStringLiteral("Key combination-%1-%2")
        .arg(controls::noneIndex(control, versionClass))
        .arg(QLatin1String(control.tag));
}

} // namespace keycombination
