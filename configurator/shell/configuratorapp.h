// The configurator's life from the single-instance check to the end of its event
// loop.
#pragma once

#include "instance_lock.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QApplication;
class QObject;
class QLocale;
class QTranslator;

struct ConfiguratorStartup
{
    // The configurator's single-instance lock ("onlyApplication").
    std::unique_ptr<platform::InstanceLock> instanceLock;
    // Shows the notice for a second copy and returns when the user closed it.
    std::function<void(const QString &title, const QString &text)> showNotice;
    QUrl mainPage;
    // The channel through which a second start asks this copy to show its window
    // (RunningCopy); empty: none, a second start only shows the notice.
    QString showChannel;
    // Called with the main page's root object once it is loaded, before the event
    // loop runs (a benchmark waits for its first frame). May be empty.
    std::function<void(QObject *root)> mainPageLoaded;

    // What happened, for the caller.
    bool reachedEventLoop = false;

    // The native lock, a message box, the user's channel and the compiled-in main page.
    static ConfiguratorStartup native();
};

extern const char kConfiguratorInstanceLock[]; // "onlyApplication"
extern const char kConfiguratorWindowTitle[];  // "VelkoOptionsGUI", ends it on close requests
extern const char kFontFileName[];             // the font file beside the program

// Makes the compiled-in pages, images, font and translation available. Idempotent.
void initConfiguratorResources();

// Loads the Chinese catalogue into `translator` when `locale` is Chinese. True when
// the translation should be installed.
bool loadChineseTranslation(QTranslator &translator, const QLocale &locale);

// Loads the corrections of misspelt English texts into `translator` for every
// language but Chinese. True when they should be installed.
bool loadEnglishCorrections(QTranslator &translator, const QLocale &locale);

// Before the application object: in a Wayland session (WAYLAND_DISPLAY) the
// configurator is a native Wayland client, and an X client where only X is there
// or the Wayland display cannot be reached ("wayland;xcb"). A QT_QPA_PLATFORM of
// the user's own wins.
void chooseGuiPlatform();

// Before the application object: the window follows the desktop's scaling (the
// display scale on Windows, Xft.dpi on X11; Wayland's own) in whole steps.
void followDesktopScaling();

// Draws the pages with Qt Quick's software renderer unless QT_QUICK_BACKEND names
// another ("opengl": Qt's OpenGL default). Before the first window.
void chooseSceneGraphBackend();

// Runs the configurator on an existing application: single-instance check,
// translation and language code, font, type registration, main page, event loop.
// Returns the exit code: 0 when another copy runs, 1 when the main page could not
// be loaded, else the event loop's code.
int runConfigurator(QApplication &app, ConfiguratorStartup &startup);
