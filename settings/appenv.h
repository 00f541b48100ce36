// Where the programs find their files, and which Windows version class they run
// under. Production answers come from the toolkit; tests set their own.
#pragma once

#include <QString>

#include <functional>
#include <optional>

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

// Where the settings folder "system" lives. Beside the programs where that is
// writable (a portable folder, a per-user Windows install); in the user's own
// folder where it is not (an installed copy under /usr, a Windows folder without
// write access). Both programs decide it here, so they always agree.
enum class SettingsPlace { BesideProgram, UserFolder };
struct SettingsFolderFacts
{
    bool besideExists = false;     // "<applicationDir>/system" is there
    bool besideWritable = false;   // ... and a file can be made in it
    bool programDirWritable = false; // a file can be made in applicationDir
    bool userFolderKnown = false;  // the system names a user settings folder
};
SettingsPlace settingsPlaceFor(const SettingsFolderFacts &facts);

// The product's folder in the user's configuration folder
// ("$XDG_CONFIG_HOME/velko-options", "%APPDATA%\Velko Options"), from the
// platform unless a test set another one; empty when the system names none.
QString userSettingsFolder();
// A test's answer (empty: the system names none); nullopt restores the platform's.
void setUserSettingsFolder(std::optional<QString> folder);

// Whether a file can be made in a folder: a real probe unless a test set one.
void setWriteProbe(std::function<bool(const QString &dir)> probe); // empty restores

// The settings folder in use, decided once for each program folder and user
// folder. When it is the user's folder and that has no "system" folder yet, the
// settings files of a "system" folder beside the programs are copied into it
// (never moved: nothing there is changed).
QString settingsDir();

// True when `name` can stand for a file in the settings folder as it is: not
// empty, at most 64 characters, no path separator, drive or other character a
// file name cannot hold, no control character, not "." or ".." and no leading
// dot or trailing dot or space. The model name read from the main file becomes
// a file name only when it is one; any other is treated as no model.
bool isPlainFileName(const QString &name);

// "<settingsDir>/mouse.ini" and "<settingsDir>/<model>.ini".
QString mainSettingsPath();
QString modelSettingsPath(const QString &model);

} // namespace appenv
