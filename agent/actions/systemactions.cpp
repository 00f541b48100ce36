#include "systemactions.h"

#include "agentlog.h"
#include "agentconffile.h"
#include "agentplatform.h"
#include "controls.h"
#include "gammaramp.h"

#include <QDebug>

namespace {

// The reader's answer for a key that is absent.
const QLatin1String kMissingValue("999");

constexpr int kMinPointerSpeed = 1;
constexpr int kMaxPointerSpeed = 20;

const char *failureText(platform::AudioOpenFailure failure)
{
    switch (failure) {
    case platform::AudioOpenFailure::CreateEnumerator:
        return "CoCreateInstance";
    case platform::AudioOpenFailure::DefaultEndpoint:
        return "GetDefaultAudioEndpoint";
    case platform::AudioOpenFailure::Activate:
        return "pDevice->Active";
    case platform::AudioOpenFailure::None:
        break;
    }
    return "unknown";
}

} // namespace

SystemActions::SystemActions(AgentPlatform &platform, agent::OpFunConfFile &settings,
                             QObject *parent)
    : QObject(parent), m_platform(platform), m_settings(settings)
{
    m_platform.audio->initializeCom();
}

void SystemActions::volumeStep(int direction)
{
    platform::AudioSystem &audio = *m_platform.audio;
    audio.initializeCom();
    const platform::AudioEventContext context = audio.createEventContext();

    platform::AudioEndpointRequest request;
    request.role = platform::AudioEndpointRequest::Role::Console;
    platform::AudioOpenFailure failure = platform::AudioOpenFailure::None;
    const std::unique_ptr<platform::AudioEndpointVolume> endpoint =
        audio.openDefaultRenderEndpoint(request, failure);
    if (!endpoint)
        return;

    float volume = 0.0f;
    if (!endpoint->masterVolumeScalar(volume)) {
        // Without the current level a step would jump to an arbitrary one.
        qDebug() << "GetMasterVolumeLevelScalar failed";
        return;
    }
    qCDebug(lcAgentActions) << "f_Volume one" << volume;
    qCDebug(lcAgentActions) << "f_Volume two" << volume * 100;
    const int percent = int(double(volume) * 100 + 0.01);
    qCDebug(lcAgentActions) << "iVol" << percent;

    int target = 0;
    if (direction == 0) {
        if (percent >= 100)
            return;
        target = percent + 1;
    } else if (direction == 1) {
        if (percent < 1)
            return;
        target = percent - 1;
        qCDebug(lcAgentActions) << "iVol --";
    } else {
        return;
    }

    endpoint->setMute(false, &context);
    const float level = float(target) / 100.0f;
    qCDebug(lcAgentActions) << "iVol set" << target;
    qCDebug(lcAgentActions) << "fVolume set" << level;
    qCDebug(lcAgentActions) << "fVolume" << level;
    endpoint->setMasterVolumeScalar(level, &context);
}

void SystemActions::toggleMute()
{
    platform::AudioEndpointRequest request;
    request.role = platform::AudioEndpointRequest::Role::Multimedia;
    request.anyContext = true;
    request.withAudioClient = true;
    platform::AudioOpenFailure failure = platform::AudioOpenFailure::None;
    const std::unique_ptr<platform::AudioEndpointVolume> endpoint =
        m_platform.audio->openDefaultRenderEndpoint(request, failure);
    if (!endpoint) {
        qDebug() << failureText(failure) << "failed";
        return;
    }
    bool muted = false;
    if (!endpoint->mute(muted)) {
        qDebug() << "GetMute"
                 << "failed";
        return;
    }
    if (!endpoint->setMute(!muted, nullptr))
        qDebug() << "SetMute"
                 << "failed";
}

void SystemActions::brightnessStep(bool up)
{
    qCDebug(lcAgentActions) << "当前亮度" << m_brightness;
    if (up && m_brightness < brightness::kMaxLevel)
        ++m_brightness;
    else if (!up && m_brightness > brightness::kMinLevel)
        --m_brightness;
    // A display that refuses the ramp keeps its old one; the level still records
    // what was asked for.
    if (!m_platform.gamma->setRamp(brightness::rampForLevel(m_brightness)))
        sayUnavailableOnce(m_brightnessRefused, "Brightness control",
                           "the display takes no brightness from the agent here (no backlight "
                           "it may set, no gamma ramps)");
}

int SystemActions::brightnessLevel() const
{
    return m_brightness;
}

void SystemActions::togglePointerSpeed(int control, bool &toggle)
{
    const char *suffix = toggle ? "_self_speed" : "_main_speed";
    QString value;
    const controls::Control *c = controls::byNumber(control);
    if (c && !c->isWheel)
        value = m_settings.pathValue(QLatin1String(c->prefix), QLatin1String(suffix));
    toggle = !toggle;

    qCDebug(lcAgentActions) << "mouse_speed " << value;
    if (value.isEmpty() || value == kMissingValue)
        return;
    bool ok = false;
    const int speed = value.trimmed().toInt(&ok, 10);
    if (!ok || speed < kMinPointerSpeed || speed > kMaxPointerSpeed) {
        qDebug() << "mouse_speed out of range" << value;
        return;
    }
    if (!m_platform.pointerSpeed->setSpeed(speed))
        sayUnavailableOnce(m_pointerSpeedRefused, "Mouse speed",
                           "this desktop takes no pointer speed from the agent (its compositor "
                           "or settings own it)");
}

void SystemActions::sayUnavailableOnce(bool &said, const char *function, const char *reason)
{
    if (said)
        return;
    said = true;
    qWarning().noquote() << QStringLiteral("%1: not available: %2; it does nothing")
                                .arg(QLatin1String(function), QLatin1String(reason));
}

void SystemActions::exitWindows(int kind)
{
    if (kind < 0 || kind > 2)
        return;
    platform::OsVersion version;
    if (!m_platform.power->osVersion(version))
        return;
    if (version.platformId == platform::kVerPlatformWin32Nt)
        m_platform.power->enableShutdownPrivilege();
    // Programs that still respond may save their work or ask the user; only hung
    // ones are ended.
    m_platform.power->exitWindows(std::uint32_t(kind) | platform::kEwxForceIfHung, 0);
}

void SystemActions::lockWorkStation()
{
    m_platform.workstationLock->lock();
}
