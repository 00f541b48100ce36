// Playback of the "Play sound" function's files.
#pragma once

#include <QUrl>

#include <memory>

class QMediaPlayer;

class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // Starts playing `source` (a local file URL), replacing a sound still playing.
    // Failures (missing file, no audio device) are not reported. Main thread.
    virtual void play(const QUrl &source) = 0;
};

// The production player: one QMediaPlayer without parent at volume 100, stopped
// and deleted with this object.
class MediaSoundPlayer : public SoundPlayer
{
public:
    MediaSoundPlayer();
    ~MediaSoundPlayer() override;

    void play(const QUrl &source) override;

    QMediaPlayer *player() const { return m_player.get(); }

private:
    std::unique_ptr<QMediaPlayer> m_player;
};
