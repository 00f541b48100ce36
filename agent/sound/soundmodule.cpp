// The sound module, VelkoOptionsSound: the only part of the agent that links the
// toolkit's multimedia library. The agent loads it when the first "Play sound"
// function runs, so that an agent that never plays a sound never loads the media
// framework and its back end.
#include "soundplayer.h"

#include <QMediaContent>
#include <QMediaPlayer>

#include <memory>

namespace {

// One QMediaPlayer without parent at volume 100, stopped and deleted with this object.
class MediaSoundPlayer : public SoundPlayer
{
public:
    MediaSoundPlayer() : m_player(std::make_unique<QMediaPlayer>()) { m_player->setVolume(100); }
    ~MediaSoundPlayer() override { m_player->stop(); }

    void play(const QUrl &source) override
    {
        m_player->setMedia(QMediaContent(source)); // stops what was playing
        m_player->play();
    }

private:
    std::unique_ptr<QMediaPlayer> m_player;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundPlayer *velkoCreateSoundPlayer()
{
    return new MediaSoundPlayer;
}
