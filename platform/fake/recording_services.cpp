#include "recording_services.h"

#include <cstdio>

namespace platform::fake {
namespace {

std::string hex(std::uintmax_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%jX", value);
    return text;
}

// The fake device's endpoint, with each change written to the log as well.
class LoggingEndpoint : public AudioEndpointVolume
{
public:
    LoggingEndpoint(std::unique_ptr<AudioEndpointVolume> endpoint, std::shared_ptr<EffectLog> log)
        : m_endpoint(std::move(endpoint)), m_log(std::move(log))
    {
    }
    bool masterVolumeScalar(float &out) override { return m_endpoint->masterVolumeScalar(out); }
    bool setMasterVolumeScalar(float level, const AudioEventContext *context) override
    {
        char text[32];
        std::snprintf(text, sizeof text, "volume %.2f", double(level));
        m_log->append(text);
        return m_endpoint->setMasterVolumeScalar(level, context);
    }
    bool mute(bool &out) override { return m_endpoint->mute(out); }
    bool setMute(bool muted, const AudioEventContext *context) override
    {
        m_log->append(muted ? "mute 1" : "mute 0");
        return m_endpoint->setMute(muted, context);
    }

private:
    std::unique_ptr<AudioEndpointVolume> m_endpoint;
    std::shared_ptr<EffectLog> m_log;
};

} // namespace

bool LoggingWindowSystem::postMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam)
{
    m_log->append("post " + hex(message) + " " + std::to_string(wParam) + " " +
                  std::to_string(lParam) + " to " + hex(window));
    return true;
}

bool LoggingWindowSystem::showWindow(WindowId window, int showCmd)
{
    m_log->append("show " + std::to_string(showCmd) + " on " + hex(window));
    return true;
}

std::unique_ptr<AudioEndpointVolume>
LoggingAudioSystem::openDefaultRenderEndpoint(const AudioEndpointRequest &request,
                                              AudioOpenFailure &failure)
{
    std::unique_ptr<AudioEndpointVolume> endpoint =
        FakeAudioSystem::openDefaultRenderEndpoint(request, failure);
    if (!endpoint)
        return nullptr;
    return std::make_unique<LoggingEndpoint>(std::move(endpoint), m_log);
}

bool LoggingDisplayGamma::setRamp(const GammaRamp &ramp)
{
    m_log->append("gamma ramp");
    return FakeDisplayGamma::setRamp(ramp);
}

bool LoggingPointerSpeed::setSpeed(int speed)
{
    m_log->append("speed " + std::to_string(speed));
    return FakePointerSpeed::setSpeed(speed);
}

bool LoggingPower::exitWindows(std::uint32_t flags, std::uint32_t reason)
{
    m_log->append("exit " + hex(flags) + " " + std::to_string(reason));
    return FakePower::exitWindows(flags, reason);
}

bool LoggingWorkstationLock::lock()
{
    m_log->append("lock");
    return FakeWorkstationLock::lock();
}

} // namespace platform::fake
