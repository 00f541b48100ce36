// The font the pages are drawn with, chosen so that they look alike on every
// system: the family the system draws its own dialogs' text with, where the font
// database has it, followed by the bundled font for the glyphs that family lacks
// (Chinese on a Latin system); the bundled font alone otherwise. Without a choice
// the toolkit falls back to whatever the system maps its default name to (a serif
// face under Wine).
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The families in order of use; empty when neither is usable (the toolkit's own
// default stays). `installed` tells whether the font database has a family.
QStringList applicationFontFamilies(const QString &systemFamily, const QString &bundledFamily,
                                    const std::function<bool(const QString &)> &installed);

// The family of the system's dialog text as the toolkit reports it: on Windows the
// message font of the system's metrics, on a Linux desktop its general font. Needs
// the QApplication. Main thread.
QString systemUiFontFamily();

// Registers the bundled font file (logs "font not registered: <path>" when it
// cannot be) and makes the chosen families the application's font. Returns them.
// Main thread, after the QApplication exists.
QStringList applyApplicationFont(const QString &bundledFontPath);
