// What the page rules ask of the program around them, in their own terms. The
// shell fills it in from the platform services whenever they are installed
// (ConfiguratorPlatform::install), so the rules never reach the shell, the tray
// or the platform themselves. Main thread.
#pragma once

#include <QImage>
#include <QString>
#include <QVector>

#include <functional>

// A program with a window open now, as the program selector offers it.
struct RunningProgram
{
    QString program;     // the name program sets are matched by
    QString displayName; // may be empty
    QImage icon;         // null when the program shows none
};

// Whether the program in front can be known on this desktop.
enum class ProgramDetection { Available, NeedsEnabling, Unavailable };

struct RulesServices
{
    // The programs with a window open now, icons `iconSize` pixels square; empty
    // where none can be listed.
    std::function<QVector<RunningProgram>(int iconSize)> openPrograms;
    // See ProgramDetection; Available when empty.
    std::function<ProgramDetection()> programDetection;
    // Asks the desktop to turn program detection on (GNOME: enables our Shell
    // extension); whether it did. Nothing to enable when empty.
    std::function<bool()> enableProgramDetection;
    // Hands a web address to the user's browser; nothing happens when empty.
    std::function<void(const QString &url)> openUrl;

    static const RulesServices &current();
    static void install(RulesServices services);
};
