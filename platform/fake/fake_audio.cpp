#include "fake_audio.h"

namespace platform::fake {

class FakeAudioSystem::Endpoint : public AudioEndpointVolume
{
public:
    explicit Endpoint(FakeAudioSystem &system) : m_system(system) { ++m_system.m_openEndpoints; }
    ~Endpoint() override { --m_system.m_openEndpoints; }

    bool masterVolumeScalar(float &out) override
    {
        if (m_system.m_readFails)
            return false;
        out = m_system.device.volume;
        return true;
    }
    bool setMasterVolumeScalar(float level, const AudioEventContext *context) override
    {
        if (m_system.m_setVolumeFails || level < 0.0f || level > 1.0f)
            return false;
        m_system.device.volume = level;
        m_system.m_changes.push_back({Change::What::Volume, level, false, context != nullptr,
                                      context ? *context : AudioEventContext{}});
        return true;
    }
    bool mute(bool &out) override
    {
        if (m_system.m_readFails)
            return false;
        out = m_system.device.muted;
        return true;
    }
    bool setMute(bool muted, const AudioEventContext *context) override
    {
        if (m_system.m_setMuteFails)
            return false;
        m_system.device.muted = muted;
        m_system.m_changes.push_back({Change::What::Mute, 0.0f, muted, context != nullptr,
                                      context ? *context : AudioEventContext{}});
        return true;
    }

private:
    FakeAudioSystem &m_system;
};

AudioEventContext FakeAudioSystem::createEventContext()
{
    AudioEventContext context;
    context.bytes.fill(m_nextContext++);
    m_contexts.push_back(context);
    return context;
}

std::unique_ptr<AudioEndpointVolume>
FakeAudioSystem::openDefaultRenderEndpoint(const AudioEndpointRequest &request,
                                           AudioOpenFailure &failure)
{
    m_requests.push_back(request);
    failure = m_openFailure;
    if (m_openFailure != AudioOpenFailure::None)
        return nullptr;
    return std::make_unique<Endpoint>(*this);
}

} // namespace platform::fake
