#include "soundplayer.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLibrary>

namespace {
const char kModuleName[] = "VelkoOptionsSound";
const char kFactory[] = "velkoCreateSoundPlayer";
} // namespace

ModuleSoundPlayer::ModuleSoundPlayer(Loader loader) : m_loader(std::move(loader)) {}

ModuleSoundPlayer::~ModuleSoundPlayer() = default;

void ModuleSoundPlayer::play(const QUrl &source)
{
    if (!m_player && !m_failed) {
        QString error;
        m_player = m_loader(error);
        if (!m_player) {
            m_failed = true;
            qWarning().noquote() << "Play sound: no sound player:" << error;
        }
    }
    if (m_player)
        m_player->play(source);
}

std::unique_ptr<SoundPlayer> ModuleSoundPlayer::loadSoundModule(QString &error)
{
    // The module stays loaded for the rest of the run (the player's code is in it).
    QLibrary module(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                    QLatin1String(kModuleName));
    using Factory = SoundPlayer *(*)();
    const auto factory = reinterpret_cast<Factory>(module.resolve(kFactory));
    if (!factory) {
        error = module.errorString();
        return nullptr;
    }
    return std::unique_ptr<SoundPlayer>(factory());
}
