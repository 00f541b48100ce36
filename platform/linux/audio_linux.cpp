// The default output's volume and mute through libpulse, which also serves
// PipeWire's PulseAudio service. The "endpoint" is the server's default sink at
// the time it is opened; a volume level is the sink's loudest channel as a
// fraction of the normal (100 %) volume, and a new level scales all channels so
// that their balance is kept. The server never starts on our behalf (no autospawn). Event contexts
// have no counterpart: changes carry none.
#include "audio.h"

#include <QDebug>

#include <pulse/pulseaudio.h>

#include <cmath>
#include <random>
#include <string>

namespace platform {
namespace {

// A connection to the sound server with its own event thread.
class PulseConnection
{
public:
    ~PulseConnection()
    {
        if (m_loop)
            pa_threaded_mainloop_stop(m_loop);
        if (m_context) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        if (m_loop)
            pa_threaded_mainloop_free(m_loop);
    }

    bool connect()
    {
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop)
            return false;
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Velko Options");
        if (!m_context)
            return false;
        pa_context_set_state_callback(m_context, &PulseConnection::signal, this);
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            pa_threaded_mainloop_start(m_loop) < 0)
            return false;
        Lock lock(m_loop);
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(m_context);
            if (state == PA_CONTEXT_READY)
                return true;
            if (!PA_CONTEXT_IS_GOOD(state))
                return false;
            pa_threaded_mainloop_wait(m_loop);
        }
    }

    std::string defaultSink()
    {
        std::string name;
        run(pa_context_get_server_info(
                m_context,
                [](pa_context *, const pa_server_info *info, void *data) {
                    auto *self = static_cast<PulseConnection *>(data);
                    if (info && info->default_sink_name)
                        self->m_text = info->default_sink_name;
                    pa_threaded_mainloop_signal(self->m_loop, 0);
                },
                this),
            &name);
        return name;
    }

    // The sink's volume and mute; false when it is gone or the call failed.
    bool sinkState(const std::string &sink, pa_cvolume &volume, bool &muted)
    {
        m_found = false;
        pa_operation *op = pa_context_get_sink_info_by_name(
            m_context, sink.c_str(),
            [](pa_context *, const pa_sink_info *info, int eol, void *data) {
                auto *self = static_cast<PulseConnection *>(data);
                if (eol == 0 && info) {
                    self->m_found = true;
                    self->m_volume = info->volume;
                    self->m_muted = info->mute != 0;
                }
                pa_threaded_mainloop_signal(self->m_loop, 0);
            },
            this);
        run(op, nullptr);
        volume = m_volume;
        muted = m_muted;
        return m_found;
    }

    bool setVolume(const std::string &sink, const pa_cvolume &volume)
    {
        return runSuccess(pa_context_set_sink_volume_by_name(m_context, sink.c_str(), &volume,
                                                             &PulseConnection::done, this));
    }
    bool setMute(const std::string &sink, bool muted)
    {
        return runSuccess(pa_context_set_sink_mute_by_name(m_context, sink.c_str(), muted,
                                                           &PulseConnection::done, this));
    }

private:
    struct Lock
    {
        explicit Lock(pa_threaded_mainloop *l) : loop(l) { pa_threaded_mainloop_lock(loop); }
        ~Lock() { pa_threaded_mainloop_unlock(loop); }
        pa_threaded_mainloop *loop;
    };

    static void signal(pa_context *, void *data)
    {
        pa_threaded_mainloop_signal(static_cast<PulseConnection *>(data)->m_loop, 0);
    }
    static void done(pa_context *, int success, void *data)
    {
        auto *self = static_cast<PulseConnection *>(data);
        self->m_success = success != 0;
        pa_threaded_mainloop_signal(self->m_loop, 0);
    }

    // Waits until `op` has completed (or the connection broke); the text its
    // callback left goes to `text` when asked for.
    void run(pa_operation *op, std::string *text)
    {
        if (!op)
            return;
        Lock lock(m_loop);
        m_text.clear();
        while (pa_operation_get_state(op) == PA_OPERATION_RUNNING &&
               PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)))
            pa_threaded_mainloop_wait(m_loop);
        pa_operation_unref(op);
        if (text)
            *text = m_text;
    }
    bool runSuccess(pa_operation *op)
    {
        m_success = false;
        run(op, nullptr);
        return m_success;
    }

    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    std::string m_text;
    bool m_found = false;
    bool m_success = false;
    bool m_muted = false;
    pa_cvolume m_volume{};
};

class PulseEndpoint : public AudioEndpointVolume
{
public:
    PulseEndpoint(std::unique_ptr<PulseConnection> pulse, std::string sink)
        : m_pulse(std::move(pulse)), m_sink(std::move(sink))
    {
    }

    bool masterVolumeScalar(float &out) override
    {
        pa_cvolume volume;
        bool muted = false;
        if (!m_pulse->sinkState(m_sink, volume, muted))
            return false;
        out = float(double(pa_cvolume_max(&volume)) / PA_VOLUME_NORM);
        return true;
    }
    bool setMasterVolumeScalar(float level, const AudioEventContext *) override
    {
        if (!(level >= 0.0f && level <= 1.0f))
            return false;
        pa_cvolume volume;
        bool muted = false;
        if (!m_pulse->sinkState(m_sink, volume, muted))
            return false;
        const auto target = pa_volume_t(std::lround(double(level) * PA_VOLUME_NORM));
        if (pa_cvolume_max(&volume) == PA_VOLUME_MUTED)
            pa_cvolume_set(&volume, volume.channels, target); // no balance to keep
        else
            pa_cvolume_scale(&volume, target);
        return m_pulse->setVolume(m_sink, volume);
    }
    bool mute(bool &out) override
    {
        pa_cvolume volume;
        return m_pulse->sinkState(m_sink, volume, out);
    }
    bool setMute(bool muted, const AudioEventContext *) override
    {
        return m_pulse->setMute(m_sink, muted);
    }

private:
    std::unique_ptr<PulseConnection> m_pulse;
    std::string m_sink;
};

class LinuxAudioSystem : public AudioSystem
{
public:
    void initializeCom() override {}
    AudioEventContext createEventContext() override
    {
        AudioEventContext context;
        std::random_device random;
        for (std::uint8_t &byte : context.bytes)
            byte = std::uint8_t(random());
        return context;
    }
    std::unique_ptr<AudioEndpointVolume>
    openDefaultRenderEndpoint(const AudioEndpointRequest &, AudioOpenFailure &failure) override
    {
        auto pulse = std::make_unique<PulseConnection>();
        if (!pulse->connect()) {
            qWarning() << "volume: no PulseAudio (or PipeWire) sound server";
            failure = AudioOpenFailure::CreateEnumerator;
            return nullptr;
        }
        const std::string sink = pulse->defaultSink();
        pa_cvolume volume;
        bool muted = false;
        if (sink.empty()) {
            failure = AudioOpenFailure::DefaultEndpoint;
            return nullptr;
        }
        if (!pulse->sinkState(sink, volume, muted)) {
            failure = AudioOpenFailure::Activate;
            return nullptr;
        }
        failure = AudioOpenFailure::None;
        return std::make_unique<PulseEndpoint>(std::move(pulse), sink);
    }
};

} // namespace

std::unique_ptr<AudioSystem> createAudioSystem()
{
    return std::make_unique<LinuxAudioSystem>();
}

} // namespace platform
