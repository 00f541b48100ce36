// Program sets: assignments that apply only while a given program is in front.
//
// They live in the per-model file beside the default set, in sections that
// readers of the default set never look at:
//
//   [PROGRAMS]
//   count=2
//   [PROGRAM1]
//   program=chrome.exe          the program as the system names it (see platform/programs.h)
//   name=Google Chrome          what the pages show
//   Side_upkey=Copy-12-slideUpKey        function entries, keys as in [SET]
//   slider_up_web_url=...                parameters, keys as in [PATH]
//   [PROGRAM2]
//   ...
//
// A control without an entry in a program's section ("Same as all programs")
// follows the default set, with the default set's parameters; a control with one
// takes its parameters from the same section.
//
// Sections are numbered 1..count without gaps; removing a set renumbers the
// ones after it. Reading is forgiving: a section whose program name is empty,
// not a plain file name, or a repeat of an earlier one (compared without regard
// to letter case) is skipped, and sections after kMaxSets are not read; each
// such problem is reported to the caller once per read of the list.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class OperateIni;

namespace programsets {

constexpr int kMaxSets = 32;
constexpr int kMaxProgramNameLength = 255;

// "/PROGRAMS/count".
QString countKey();
// "/PROGRAM<section>/program" and "/PROGRAM<section>/name".
QString programKey(int section);
QString nameKey(int section);
// "PROGRAM<section>", the group of a set.
QString sectionGroup(int section);
// "/PROGRAM<section>/" + key, for example entryKey(3, "Mid_key") or
// entryKey(3, "mid_web_url").
QString sectionKey(int section, const QString &key);

// True for a name that can identify a program: not empty, at most
// kMaxProgramNameLength characters, no path separator, control character or any
// of : * ? " < > |, and not "." or "..".
bool isValidProgram(const QString &program);

// The form under which two program names are the same program.
QString matchKey(const QString &program);

struct ProgramSet
{
    int section = 0;     // 1..kMaxSets
    QString program;
    QString name;        // the program name when the stored name is empty
};

// The usable sets of a bound per-model file, in section order. `problems`, when
// given, receives one line per skipped section or ignored part of the list. A
// count that is absent, not a number or below 1 means no sets.
QVector<ProgramSet> readSets(OperateIni &ini, QStringList *problems = nullptr);

// The set for a program among `sets`; null when there is none.
const ProgramSet *find(const QVector<ProgramSet> &sets, const QString &program);

} // namespace programsets
