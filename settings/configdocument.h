// The configuration document of one mouse model: its six controls as entry
// documents, its 28 parameters and its program sets, as the sync uploads and
// downloads it and the settings file carries it. Built from and written into the
// model's settings file through OpFunConfFile. Main thread.
#pragma once

#include "opfunconffile.h"

#include <QJsonObject>
#include <QString>

namespace configdoc {

// The document of the file the accessor is bound to (the accessor is pointed at
// the current mouse's file first). A control whose entry has not exactly three
// "-"-separated parts is sent as the empty text; an empty or "none" path value as
// "none"; an absent one as "NULL". In "programs", what a set does not assign and
// parameters at their defaults ("none", speeds "1") are left out. Both functions address the sets
// themselves: `conf` is left fixed on the default set, whatever the pages have selected.
QJsonObject build(OpFunConfFile &conf);

// Writes a downloaded document into the current mouse's file and flushes it.
// Controls whose value is not a usable entry document, and path keys that are
// absent or not text, keep what the file holds. A document without "programs"
// leaves the stored program sets alone; one with it replaces them all (a key
// assigned there gets the parameters it lacks with their defaults), and is
// refused whole when any part of that member is unusable: false, `problem` says
// why, and nothing is written.
bool apply(OpFunConfFile &conf, const QJsonObject &document, QString *problem = nullptr);

// Checks a document as an import must: every control present is an entry
// document inside its list (an empty text: none stored), every parameter present
// is text, "programs" is usable. False with `problem` naming the first fault.
// Members of none of these kinds are named in `unknown` (a newer program's).
bool check(const QJsonObject &document, QString *problem, QStringList *unknown = nullptr);

} // namespace configdoc
