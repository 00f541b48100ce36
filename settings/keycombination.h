// Key combinations a control can be given: one or more steps ("Ctrl+K, Ctrl+C"),
// each some modifiers and one key, written the way the systems write shortcuts.
//
// Stored as text in keys of their own beside the control's entry, whose index is
// then the control's "None": a program that knows no combinations reads the
// control as its plain button. Keys: "<control key>_combination" for the four
// keys, "<control key>_combination_up" and "_down" for the two wheels, in group
// SET or in a program set's section.
//
// The text form is the stored one too: names joined by "+", steps by ", ", in
// any letter case when read. "Win" and "Super" (and "Meta") name the same key;
// the text is written with "Win" on Windows and "Super" elsewhere.
//
// All data is constant; every function may be called from any thread.
#pragma once

#include "controls.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>
#include <optional>

namespace keycombination {

constexpr int kMaxSteps = 8;
constexpr int kMaxTextLength = 200;

// Which of a modifier's two keys a step holds: "Ctrl" is played as the left one.
enum class Side : std::uint8_t { None, Either, Left, Right };
enum Modifier { Ctrl = 0, Alt = 1, Shift = 2, Win = 3, kModifierCount = 4 };

// A key by the Windows virtual key it is played as (the Linux output maps virtual
// keys to the keyboard's own keys), with the flag keys beyond the main block need.
struct KeyName
{
    const char *name;
    std::uint8_t virtualKey;
    bool extended;
};

struct Step
{
    Side modifiers[kModifierCount] = {};
    std::uint8_t virtualKey = 0;
    bool extended = false;
    bool operator==(const Step &other) const;
};

using Combination = QVector<Step>;

// The key a name stands for ("T", "F5", "PageUp", "Plus"), in any letter case;
// null for modifiers and unknown names.
const KeyName *keyByName(const QString &name);
// The name of a virtual key, or null when the table has none.
const KeyName *keyByVirtualKey(std::uint8_t virtualKey);

enum class Problem { None, Empty, TooLong, TooManySteps, UnknownName, NoKey, TwoKeys };

// The combination a text names, or nullopt with `problem` (and the offending
// name in `name`) set.
std::optional<Combination> parse(const QString &text, Problem *problem = nullptr,
                                 QString *name = nullptr);
// The text of a combination; "Win" or "Super" for the Windows key.
QString format(const Combination &combination, bool windowsNames);
// A modifier's name as format() writes it: "Ctrl", "RCtrl", "Win" or "Super"...
QString modifierName(Modifier modifier, Side side, bool windowsNames);
// What a problem means, in the user's language.
QString describe(Problem problem, const QString &name);

// The virtual keys a step holds down, modifiers first, in the order they go
// down (each with its extended flag); they come up in the reverse order.
struct Stroke
{
    std::uint8_t virtualKey;
    bool extended;
};
QVector<Stroke> strokes(const Step &step);

// The settings keys of a control's combinations: one for a key, "up" then
// "down" for a wheel.
QStringList storageKeys(const controls::Control &control);

// The entry a control with a combination stores: "Key combination-<None>-<tag>".
QString entryFor(const controls::Control &control, const QString &versionClass);
// The text of the catalogue item that stands for a combination on the pages.
extern const char kItemText[];

} // namespace keycombination
