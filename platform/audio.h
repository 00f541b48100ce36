// The default audio output's master volume and mute (Core Audio on Windows).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace platform {

// A change's event context: a GUID handed to the volume notifications so that a
// program can recognise its own changes.
struct AudioEventContext
{
    std::array<std::uint8_t, 16> bytes{};
};

// How the default render endpoint is reached.
struct AudioEndpointRequest
{
    enum class Role { Console, Multimedia }; // eConsole, eMultimedia
    Role role = Role::Console;
    // CLSCTX_ALL instead of CLSCTX_INPROC_SERVER for the enumerator and activation.
    bool anyContext = false;
    // Also activate IAudioClient on the device (held as long as the endpoint).
    bool withAudioClient = false;
};

// Which step of opening the endpoint failed.
enum class AudioOpenFailure {
    None,
    CreateEnumerator, // CoCreateInstance(MMDeviceEnumerator)
    DefaultEndpoint,  // IMMDeviceEnumerator::GetDefaultAudioEndpoint(eRender, role)
    Activate,         // IMMDevice::Activate of IAudioEndpointVolume or IAudioClient
};

// The IAudioEndpointVolume of one device; the interfaces are released with it.
// Main thread (the thread that opened it).
class AudioEndpointVolume
{
public:
    virtual ~AudioEndpointVolume() = default;

    // GetMasterVolumeLevelScalar (0.0 to 1.0). False when the call fails.
    virtual bool masterVolumeScalar(float &out) = 0;
    // SetMasterVolumeLevelScalar with the event context (none when null). False on failure.
    virtual bool setMasterVolumeScalar(float level, const AudioEventContext *context) = 0;
    // GetMute. False when the call fails.
    virtual bool mute(bool &out) = 0;
    // SetMute with the event context (none when null). False on failure.
    virtual bool setMute(bool muted, const AudioEventContext *context) = 0;
};

class AudioSystem
{
public:
    // Balances the successful COM initialisations of this object. Main thread.
    virtual ~AudioSystem() = default;

    // CoInitialize(nullptr) on the calling thread; the result is ignored. Main thread.
    virtual void initializeCom() = 0;

    // CoCreateGuid; an all-zero context when it fails. Any thread.
    virtual AudioEventContext createEventContext() = 0;

    // Creates the device enumerator, takes the default render endpoint for the
    // role (releasing the enumerator) and activates IAudioEndpointVolume on it
    // (and IAudioClient when asked). Returns null on failure with `failure` set to
    // the failing step, after releasing whatever was obtained. Main thread, COM
    // initialised.
    virtual std::unique_ptr<AudioEndpointVolume>
    openDefaultRenderEndpoint(const AudioEndpointRequest &request, AudioOpenFailure &failure) = 0;
};

std::unique_ptr<AudioSystem> createAudioSystem();

} // namespace platform
