// The settings to a file and back: one self-describing JSON file with the format
// name and version, the chosen model and, for every model whose settings file
// exists, its configuration document (controls, parameters, program sets), with
// a digest that tells a damaged or altered file. Never the account's sign-in
// values. Main thread.
//
//   {"format": "velko-options-settings", "version": 1, "model": "QX210",
//    "models": {"QX210": {...}, ...}, "sha256": "<hex of the compact model+models>"}
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace settingstransfer {

extern const char kFormat[]; // "velko-options-settings"
constexpr int kVersion = 1;
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

// The file's content for the settings folder as it is now.
QJsonObject exportDocument();

// Writes exportDocument() to `path` at once or not at all (a temporary file
// renamed into place). Empty on success, else why not, in the user's language.
QString exportTo(const QString &path);

struct ImportResult
{
    bool applied = false;
    QString problem;     // why nothing was applied, in the user's language
    QStringList leftOut; // what a newer version's file held that this one skips
    bool saved = true;   // false: applied, but not all of it reached the disk
};

// Checks the whole file first and then applies all of it, or nothing: the current
// settings stay as they were when the file is of another format, damaged,
// altered, names an unknown model or holds an unusable entry.
ImportResult importFrom(const QString &path);

} // namespace settingstransfer
