// Where the programs find their files, and which Windows version class they run
// under. Production answers come from the toolkit; tests set their own.
#pragma once

#include <QString>

namespace appenv {

// The folder of the running programs (QCoreApplication::applicationDirPath()),
// unless a test has set another one.
QString applicationDir();
void setApplicationDir(const QString &dir); // empty text restores the default

// "win8" for Windows 8 and 8.1, "win10" for Windows 10, "win7" for every other
// system (also for systems that are not Windows), unless a test set another one.
QString windowsVersionClass();
void setWindowsVersionClass(const QString &versionClass); // empty restores the default

// The class for an operating system's product type and version as QSysInfo
// names them ("windows", "8.1").
QString versionClassFor(const QString &productType, const QString &productVersion);

// True when `name` can stand for a file in the settings folder as it is: not
// empty, at most 64 characters, no path separator, drive or other character a
// file name cannot hold, no control character, not "." or ".." and no leading
// dot or trailing dot or space. The model name read from the main file becomes
// a file name only when it is one; any other is treated as no model.
bool isPlainFileName(const QString &name);

// "<applicationDir>/system/mouse.ini" and "<applicationDir>/system/<model>.ini".
QString mainSettingsPath();
QString modelSettingsPath(const QString &model);

} // namespace appenv
