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
#include <dlfcn.h>
#include <type_traits>
#include <random>
#include <string>

namespace platform {
namespace {

// libpulse is loaded when the first volume or mute function runs, so that an
// agent that never changes the volume loads neither it nor the codec libraries
// it pulls in. Not there: the functions report no sound server.
struct PulseApi
{
    decltype(&::pa_threaded_mainloop_new) threaded_mainloop_new;
    decltype(&::pa_threaded_mainloop_get_api) threaded_mainloop_get_api;
    decltype(&::pa_threaded_mainloop_start) threaded_mainloop_start;
    decltype(&::pa_threaded_mainloop_stop) threaded_mainloop_stop;
    decltype(&::pa_threaded_mainloop_free) threaded_mainloop_free;
    decltype(&::pa_threaded_mainloop_lock) threaded_mainloop_lock;
    decltype(&::pa_threaded_mainloop_unlock) threaded_mainloop_unlock;
    decltype(&::pa_threaded_mainloop_wait) threaded_mainloop_wait;
    decltype(&::pa_threaded_mainloop_signal) threaded_mainloop_signal;
    decltype(&::pa_context_new) context_new;
    decltype(&::pa_context_set_state_callback) context_set_state_callback;
    decltype(&::pa_context_connect) context_connect;
    decltype(&::pa_context_get_state) context_get_state;
    decltype(&::pa_context_disconnect) context_disconnect;
    decltype(&::pa_context_unref) context_unref;
    decltype(&::pa_context_get_server_info) context_get_server_info;
    decltype(&::pa_context_get_sink_info_by_name) context_get_sink_info_by_name;
    decltype(&::pa_context_set_sink_volume_by_name) context_set_sink_volume_by_name;
    decltype(&::pa_context_set_sink_mute_by_name) context_set_sink_mute_by_name;
    decltype(&::pa_operation_get_state) operation_get_state;
    decltype(&::pa_operation_unref) operation_unref;
    decltype(&::pa_cvolume_max) cvolume_max;
    decltype(&::pa_cvolume_set) cvolume_set;
    decltype(&::pa_cvolume_scale) cvolume_scale;
};

// The loaded functions; null when libpulse cannot be loaded. Any thread.
const PulseApi *loadPulse()
{
    static const PulseApi *const api = []() -> const PulseApi * {
        void *library = ::dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return nullptr;
        static PulseApi a;
        bool complete = true;
        auto load = [&](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                ::dlsym(library, name));
            complete = complete && function;
        };
        load(a.threaded_mainloop_new, "pa_threaded_mainloop_new");
        load(a.threaded_mainloop_get_api, "pa_threaded_mainloop_get_api");
        load(a.threaded_mainloop_start, "pa_threaded_mainloop_start");
        load(a.threaded_mainloop_stop, "pa_threaded_mainloop_stop");
        load(a.threaded_mainloop_free, "pa_threaded_mainloop_free");
        load(a.threaded_mainloop_lock, "pa_threaded_mainloop_lock");
        load(a.threaded_mainloop_unlock, "pa_threaded_mainloop_unlock");
        load(a.threaded_mainloop_wait, "pa_threaded_mainloop_wait");
        load(a.threaded_mainloop_signal, "pa_threaded_mainloop_signal");
        load(a.context_new, "pa_context_new");
        load(a.context_set_state_callback, "pa_context_set_state_callback");
        load(a.context_connect, "pa_context_connect");
        load(a.context_get_state, "pa_context_get_state");
        load(a.context_disconnect, "pa_context_disconnect");
        load(a.context_unref, "pa_context_unref");
        load(a.context_get_server_info, "pa_context_get_server_info");
        load(a.context_get_sink_info_by_name, "pa_context_get_sink_info_by_name");
        load(a.context_set_sink_volume_by_name, "pa_context_set_sink_volume_by_name");
        load(a.context_set_sink_mute_by_name, "pa_context_set_sink_mute_by_name");
        load(a.operation_get_state, "pa_operation_get_state");
        load(a.operation_unref, "pa_operation_unref");
        load(a.cvolume_max, "pa_cvolume_max");
        load(a.cvolume_set, "pa_cvolume_set");
        load(a.cvolume_scale, "pa_cvolume_scale");
        return complete ? &a : nullptr;
    }();
    return api;
}

// Only after loadPulse() has answered non-null.
const PulseApi &pa()
{
    return *loadPulse();
}

// A connection to the sound server with its own event thread.
class PulseConnection
{
public:
    ~PulseConnection()
    {
        if (m_loop)
            pa().threaded_mainloop_stop(m_loop);
        if (m_context) {
            pa().context_disconnect(m_context);
            pa().context_unref(m_context);
        }
        if (m_loop)
            pa().threaded_mainloop_free(m_loop);
    }

    bool connect()
    {
        if (!loadPulse())
            return false;
        m_loop = pa().threaded_mainloop_new();
        if (!m_loop)
            return false;
        m_context = pa().context_new(pa().threaded_mainloop_get_api(m_loop), "Velko Options");
        if (!m_context)
            return false;
        pa().context_set_state_callback(m_context, &PulseConnection::signal, this);
        if (pa().context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            pa().threaded_mainloop_start(m_loop) < 0)
            return false;
        Lock lock(m_loop);
        for (;;) {
            const pa_context_state_t state = pa().context_get_state(m_context);
            if (state == PA_CONTEXT_READY)
                return true;
            if (!PA_CONTEXT_IS_GOOD(state))
                return false;
            pa().threaded_mainloop_wait(m_loop);
        }
    }

    std::string defaultSink()
    {
        std::string name;
        run(
            [this] {
                return pa().context_get_server_info(
                    m_context,
                    [](pa_context *, const pa_server_info *info, void *data) {
                        auto *self = static_cast<PulseConnection *>(data);
                        if (info && info->default_sink_name)
                            self->m_text = info->default_sink_name;
                        pa().threaded_mainloop_signal(self->m_loop, 0);
                    },
                    this);
            },
            &name);
        return name;
    }

    // The sink's volume and mute; false when it is gone or the call failed.
    bool sinkState(const std::string &sink, pa_cvolume &volume, bool &muted)
    {
        m_found = false;
        run(
            [&] {
                return pa().context_get_sink_info_by_name(
                    m_context, sink.c_str(),
                    [](pa_context *, const pa_sink_info *info, int eol, void *data) {
                        auto *self = static_cast<PulseConnection *>(data);
                        if (eol == 0 && info) {
                            self->m_found = true;
                            self->m_volume = info->volume;
                            self->m_muted = info->mute != 0;
                        }
                        pa().threaded_mainloop_signal(self->m_loop, 0);
                    },
                    this);
            },
            nullptr);
        volume = m_volume;
        muted = m_muted;
        return m_found;
    }

    bool setVolume(const std::string &sink, const pa_cvolume &volume)
    {
        return runSuccess([&] {
            return pa().context_set_sink_volume_by_name(m_context, sink.c_str(), &volume,
                                                        &PulseConnection::done, this);
        });
    }
    bool setMute(const std::string &sink, bool muted)
    {
        return runSuccess([&] {
            return pa().context_set_sink_mute_by_name(m_context, sink.c_str(), muted,
                                                      &PulseConnection::done, this);
        });
    }

private:
    struct Lock
    {
        explicit Lock(pa_threaded_mainloop *l) : loop(l) { pa().threaded_mainloop_lock(loop); }
        ~Lock() { pa().threaded_mainloop_unlock(loop); }
        pa_threaded_mainloop *loop;
    };

    static void signal(pa_context *, void *data)
    {
        pa().threaded_mainloop_signal(static_cast<PulseConnection *>(data)->m_loop, 0);
    }
    static void done(pa_context *, int success, void *data)
    {
        auto *self = static_cast<PulseConnection *>(data);
        self->m_success = success != 0;
        pa().threaded_mainloop_signal(self->m_loop, 0);
    }

    // Starts an operation (`start` gives it) and waits until it has completed or
    // the connection broke; the text its callback left goes to `text` when asked
    // for. The operation starts with the loop's lock held, as every call on the
    // context from outside the loop's thread must: started before, its answer
    // could come (and be cleared) before anyone looked.
    template <typename Start> void run(Start start, std::string *text)
    {
        Lock lock(m_loop);
        m_text.clear();
        pa_operation *op = start();
        if (!op)
            return;
        while (pa().operation_get_state(op) == PA_OPERATION_RUNNING &&
               PA_CONTEXT_IS_GOOD(pa().context_get_state(m_context)))
            pa().threaded_mainloop_wait(m_loop);
        pa().operation_unref(op);
        if (text)
            *text = m_text;
    }
    template <typename Start> bool runSuccess(Start start)
    {
        m_success = false;
        run(start, nullptr);
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
        out = float(double(pa().cvolume_max(&volume)) / PA_VOLUME_NORM);
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
        if (pa().cvolume_max(&volume) == PA_VOLUME_MUTED)
            pa().cvolume_set(&volume, volume.channels, target); // no balance to keep
        else
            pa().cvolume_scale(&volume, target);
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
