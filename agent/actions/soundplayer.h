// Playback of the "Play sound" function's files.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // Starts playing `source` (a local file URL), replacing a sound still playing.
    // Failures (missing file, no audio device) are not reported. Main thread.
    virtual void play(const QUrl &source) = 0;
};

// The production player. The media player lives in the sound module
// (VelkoOptionsSound beside the program), which is loaded when the first sound
// is played; from then on it is one QMediaPlayer at volume 100, stopped and
// deleted with this object. A module that cannot be loaded costs one log line,
// and every sound is then skipped.
class ModuleSoundPlayer : public SoundPlayer
{
public:
    // Makes the real player; null when it cannot (the error in `error`).
    using Loader = std::function<std::unique_ptr<SoundPlayer>(QString &error)>;

    explicit ModuleSoundPlayer(Loader loader = loadSoundModule);
    ~ModuleSoundPlayer() override;

    void play(const QUrl &source) override;

    // Whether the real player has been made.
    bool loaded() const { return m_player != nullptr; }

    // Loads the sound module from the program's folder and makes its player.
    static std::unique_ptr<SoundPlayer> loadSoundModule(QString &error);

private:
    Loader m_loader;
    std::unique_ptr<SoundPlayer> m_player;
    bool m_failed = false;
};
