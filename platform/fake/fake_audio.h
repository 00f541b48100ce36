// A simulated default audio output with failure injection.
#pragma once

#include "audio.h"

#include <vector>

namespace platform::fake {

struct FakeAudioDevice
{
    float volume = 0.5f;
    bool muted = false;
};

class FakeAudioSystem : public AudioSystem
{
public:
    void initializeCom() override { ++m_comInitializations; }
    AudioEventContext createEventContext() override;
    std::unique_ptr<AudioEndpointVolume>
    openDefaultRenderEndpoint(const AudioEndpointRequest &request,
                              AudioOpenFailure &failure) override;

    FakeAudioDevice device;

    // Failure injection.
    void setOpenFailure(AudioOpenFailure failure) { m_openFailure = failure; }
    void setReadFails(bool fails) { m_readFails = fails; } // Get* calls
    void setSetMuteFails(bool fails) { m_setMuteFails = fails; }
    void setSetVolumeFails(bool fails) { m_setVolumeFails = fails; }

    // Observations.
    int comInitializations() const { return m_comInitializations; }
    const std::vector<AudioEndpointRequest> &requests() const { return m_requests; }
    int openEndpoints() const { return m_openEndpoints; } // not yet released
    struct Change
    {
        enum class What { Volume, Mute } what;
        float volume; // the level for Volume
        bool muted;   // the state for Mute
        bool hasContext;
        AudioEventContext context;
    };
    const std::vector<Change> &changes() const { return m_changes; }
    const std::vector<AudioEventContext> &createdContexts() const { return m_contexts; }

private:
    class Endpoint;
    friend class Endpoint;

    AudioOpenFailure m_openFailure = AudioOpenFailure::None;
    bool m_readFails = false;
    bool m_setMuteFails = false;
    bool m_setVolumeFails = false;
    int m_comInitializations = 0;
    int m_openEndpoints = 0;
    std::uint8_t m_nextContext = 1;
    std::vector<AudioEndpointRequest> m_requests;
    std::vector<Change> m_changes;
    std::vector<AudioEventContext> m_contexts;
};

} // namespace platform::fake
