// The audio endpoint on Linux comes with the later port; until then there is no
// endpoint to change.
#include "audio.h"
#include "unavailable.h"

namespace platform {
namespace {

class LinuxAudioSystem : public AudioSystem
{
public:
    void initializeCom() override {}
    AudioEventContext createEventContext() override { return {}; }
    std::unique_ptr<AudioEndpointVolume>
    openDefaultRenderEndpoint(const AudioEndpointRequest &, AudioOpenFailure &failure) override
    {
        linuxport::reportUnavailable("master volume");
        failure = AudioOpenFailure::DefaultEndpoint;
        return nullptr;
    }
};

} // namespace

std::unique_ptr<AudioSystem> createAudioSystem()
{
    return std::make_unique<LinuxAudioSystem>();
}

} // namespace platform
