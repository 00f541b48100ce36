// Master volume and mute of the default render endpoint through Core Audio.
#include "audio.h"

#include <objbase.h>
// Core Audio headers after objbase.
#include <audioclient.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <cstring>

namespace platform {
namespace {

const CLSID kClsidMMDeviceEnumerator = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const IID kIidMMDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
const IID kIidAudioEndpointVolume = {
    0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};
const IID kIidAudioClient = {
    0x1CB9AD4C, 0xDBFA, 0x4C32, {0xB1, 0x78, 0xC2, 0xF5, 0x68, 0xA7, 0x03, 0xB2}};

template <typename T> void release(T *&p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

GUID toGuid(const AudioEventContext &context)
{
    GUID guid;
    static_assert(sizeof guid == sizeof context.bytes, "a GUID is 16 bytes");
    std::memcpy(&guid, context.bytes.data(), sizeof guid);
    return guid;
}

class Win32Endpoint : public AudioEndpointVolume
{
public:
    Win32Endpoint(IMMDevice *device, IAudioEndpointVolume *volume, IAudioClient *client)
        : m_device(device), m_volume(volume), m_client(client)
    {
    }
    ~Win32Endpoint() override
    {
        release(m_client);
        release(m_volume);
        release(m_device);
    }

    bool masterVolumeScalar(float &out) override
    {
        float level = 0.0f;
        if (FAILED(m_volume->GetMasterVolumeLevelScalar(&level)))
            return false;
        out = level;
        return true;
    }

    bool setMasterVolumeScalar(float level, const AudioEventContext *context) override
    {
        GUID guid{};
        if (context)
            guid = toGuid(*context);
        return SUCCEEDED(m_volume->SetMasterVolumeLevelScalar(level, context ? &guid : nullptr));
    }

    bool mute(bool &out) override
    {
        BOOL muted = FALSE;
        if (FAILED(m_volume->GetMute(&muted)))
            return false;
        out = muted != FALSE;
        return true;
    }

    bool setMute(bool muted, const AudioEventContext *context) override
    {
        GUID guid{};
        if (context)
            guid = toGuid(*context);
        return SUCCEEDED(m_volume->SetMute(muted ? TRUE : FALSE, context ? &guid : nullptr));
    }

private:
    IMMDevice *m_device;
    IAudioEndpointVolume *m_volume;
    IAudioClient *m_client;
};

class Win32AudioSystem : public AudioSystem
{
public:
    ~Win32AudioSystem() override
    {
        for (; m_comInitializations > 0; --m_comInitializations)
            CoUninitialize();
    }

    void initializeCom() override
    {
        if (SUCCEEDED(CoInitialize(nullptr))) // S_OK and S_FALSE both count
            ++m_comInitializations;
    }

    AudioEventContext createEventContext() override
    {
        AudioEventContext context;
        GUID guid;
        if (SUCCEEDED(CoCreateGuid(&guid)))
            std::memcpy(context.bytes.data(), &guid, sizeof guid);
        return context;
    }

    std::unique_ptr<AudioEndpointVolume>
    openDefaultRenderEndpoint(const AudioEndpointRequest &request,
                              AudioOpenFailure &failure) override
    {
        const DWORD context = request.anyContext ? CLSCTX_ALL : CLSCTX_INPROC_SERVER;
        const ERole role =
            request.role == AudioEndpointRequest::Role::Multimedia ? eMultimedia : eConsole;

        IMMDeviceEnumerator *enumerator = nullptr;
        if (FAILED(CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, context,
                                    kIidMMDeviceEnumerator,
                                    reinterpret_cast<void **>(&enumerator))) ||
            !enumerator) {
            failure = AudioOpenFailure::CreateEnumerator;
            return nullptr;
        }
        IMMDevice *device = nullptr;
        const HRESULT found = enumerator->GetDefaultAudioEndpoint(eRender, role, &device);
        release(enumerator);
        if (FAILED(found) || !device) {
            failure = AudioOpenFailure::DefaultEndpoint;
            return nullptr;
        }
        IAudioEndpointVolume *volume = nullptr;
        IAudioClient *client = nullptr;
        bool activated = SUCCEEDED(device->Activate(kIidAudioEndpointVolume, context, nullptr,
                                                    reinterpret_cast<void **>(&volume))) &&
                         volume;
        if (activated && request.withAudioClient)
            activated = SUCCEEDED(device->Activate(kIidAudioClient, context, nullptr,
                                                   reinterpret_cast<void **>(&client))) &&
                        client;
        if (!activated) {
            release(client);
            release(volume);
            release(device);
            failure = AudioOpenFailure::Activate;
            return nullptr;
        }
        failure = AudioOpenFailure::None;
        return std::make_unique<Win32Endpoint>(device, volume, client);
    }

private:
    int m_comInitializations = 0;
};

} // namespace

std::unique_ptr<AudioSystem> createAudioSystem()
{
    return std::make_unique<Win32AudioSystem>();
}

} // namespace platform
