// The six programmable controls and the names they carry in the settings files.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace catalogue {
enum class List;
}

namespace controls {

enum Number {
    MidKey = 0,
    MidWheel = 1,
    SideUpKey = 2,
    SideDownKey = 3,
    SideWheel = 4,
    RightKey = 5
};

struct Control
{
    int number;         // inside the agent
    const char *setKey; // key in group SET of the per-model file
    const char *tag;    // last part of a function entry
    const char *prefix; // PATH key prefix; empty for the wheels
    bool isWheel;
};

// Indexed by control number.
extern const std::array<Control, 6> kControls;

// The PATH suffixes, in the order the defaults are written.
extern const std::array<const char *, 7> kPathSuffixes;

// The value a parameter starts with: "1" for the speeds ("_main_speed",
// "_self_speed"), "none" for the others. Takes a suffix or a whole PATH key name.
QString defaultParameter(const QString &suffixOrKey);

// The control for a number, or null outside 0..5.
const Control *byNumber(int number);
// The control with a tag ("midKey"), or null.
const Control *byTag(const QString &tag);
// The control of a key of group SET ("Mid_key"), or null.
const Control *bySetKey(const char *setKey);

// The catalogue list a control's entries index: the wheels' or the keys'.
catalogue::List listOf(const Control &control);
// The index of "None" in that list under a Windows version class.
int noneIndex(const Control &control, const QString &versionClass);

// "/SET/" + the control's key.
QString setKeyPath(const Control &control);

// "/PATH/" + prefix + suffix.
QString pathKey(const QString &prefix, const QString &suffix);

// The default function entry of a control for a Windows version class
// ("none-48-midKey", or "none-47-midKey" under "win8").
QString defaultEntry(const Control &control, const QString &versionClass);

// The three parts of a function entry, or an empty list when it has not exactly
// three "-"-separated parts.
QStringList splitEntry(const QString &entry);

// The number an entry's index part names: at most nine decimal digits (so it
// fits an int), nothing else; nullopt otherwise.
std::optional<int> decimalIndex(const QString &text);

// The list position a function entry stores, read alike by the agent, the pages
// and the upload: the entry has exactly three parts and its index is decimal
// digits naming a position of the control's list as the pages number it under
// `versionClass`. nullopt for anything else (a sign, blanks, a number too large
// for an int, a position past "None"), which every reader takes as "None".
std::optional<int> entryIndex(const QString &entry, const Control &control,
                              const QString &versionClass);

// An entry as the compact JSON text {"index":..,"name":..,"tag":..}; empty text
// when the entry has not exactly three parts.
QString entryToJson(const QString &entry);

} // namespace controls
