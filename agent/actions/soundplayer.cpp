#include "soundplayer.h"

#include <QMediaContent>
#include <QMediaPlayer>

MediaSoundPlayer::MediaSoundPlayer() : m_player(std::make_unique<QMediaPlayer>())
{
    m_player->setVolume(100);
}

MediaSoundPlayer::~MediaSoundPlayer()
{
    m_player->stop();
}

void MediaSoundPlayer::play(const QUrl &source)
{
    m_player->setMedia(QMediaContent(source)); // stops what was playing
    m_player->play();
}
