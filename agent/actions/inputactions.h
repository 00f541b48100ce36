// The agent's simple actions: keyboard shortcuts, mouse clicks and wheel notches,
// zoom at the cursor, and opening programs, documents, folders, web pages and
// sounds. Every operation runs on the main thread and reports nothing.
#pragma once

#include "keycombination.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

struct AgentPlatform;
class QUrl;
class SoundPlayer;

namespace agent {
class OpFunConfFile;
}

class InputActions : public QObject
{
    Q_OBJECT
public:
    // Creates the sound player, which loads the media player at the first sound
    // (volume 100); it lives as long as this object.
    InputActions(AgentPlatform &platform, agent::OpFunConfFile &settings,
                 QObject *parent = nullptr);
    ~InputActions() override;

    // Ctrl + a letter: 0x301 C, 0x300 X, 0x302 V, 0 A, 1 N, 2 S, 3 P; any other
    // selector does nothing.
    void sendCtrlShortcut(int which);
    void openRunDialog();      // Windows key + R
    void pressWindowsKey();    // Windows key alone
    void sendMediaKey(int vk); // 0xB3 play/pause, 0xB2 stop, 0xB1 previous, 0xB0 next

    // Key combinations (keycombination.h): the keys of one step down in order, or
    // up in the reverse order; a whole combination played step after step.
    void pressKeys(const QVector<keycombination::Stroke> &strokes);
    void releaseKeys(const QVector<keycombination::Stroke> &strokes);
    void playCombination(const keycombination::Combination &combination);

    // Zoom at the cursor: Ctrl with +/- over windows that zoom by key, Ctrl with
    // the wheel elsewhere.
    void zoomIn();
    void zoomOut();

    // One half of a click: `up` false on press, true on release.
    void leftButton(bool up);
    void rightButton(bool up);
    void middleButton(bool up);
    void xButton(int which, bool up); // which: 1 or 2
    void doubleClick();
    void wheelUp();
    void wheelDown();

    // Shell "open" of a program, document or URI (UTF-8 passed on as Unicode).
    void runProgram(const QString &text);

    // Path actions for control number `control` (0..5): they read the control's
    // PATH parameter and do nothing when it is empty, missing, or the control has
    // no parameters.
    void openWebUrl(int control);
    void openFile(int control);
    void openFolder(int control);
    void openApplication(int control);
    void playSound(int control);

    void openSpecialFolder(int csidl); // a shell folder by CSIDL, maximised
    void openDefaultBrowser();
    void closeForegroundWindow(); // WM_CLOSE to the foreground window, not the desktop

    // How files, folders and programs are opened: by default the toolkit's desktop
    // services where the agent runs a GUI application (Windows), else the platform's
    // shell (Linux). Tests that watch the desktop services install them here; null
    // restores the default.
    using UrlOpener = void (*)(const QUrl &url);
    static void setUrlOpener(UrlOpener opener);

    // Replaces the sound player (tests observe playback through their own).
    void setSoundPlayer(std::unique_ptr<SoundPlayer> player);
    SoundPlayer *soundPlayer() const { return m_player.get(); }

private:
    void sendKeyStroke(std::uint8_t vk, std::uint32_t downFlags, std::uint32_t upFlags);
    void zoom(bool in);
    QString pathParameter(int control, const char *suffix);
    void openPathParameter(int control, const char *suffix, const char *logLabel, bool logUrl);

    AgentPlatform &m_platform;
    agent::OpFunConfFile &m_settings;
    std::unique_ptr<SoundPlayer> m_player;
    static UrlOpener s_urlOpener;
};
