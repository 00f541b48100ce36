#include "wlr_gamma.h"

#include "wlr-gamma-control-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <deque>
#include <vector>

namespace platform::linuxport {
namespace {

struct Output
{
    wl_output *output = nullptr;
    zwlr_gamma_control_v1 *control = nullptr;
    std::uint32_t size = 0; // 0 until the compositor tells; stays 0 when it failed
    bool failed = false;
};

class WlrGammaControl : public WlrGamma
{
public:
    ~WlrGammaControl() override
    {
        for (Output &o : m_outputs) {
            if (o.control)
                zwlr_gamma_control_v1_destroy(o.control);
            wl_output_destroy(o.output);
        }
        if (m_manager)
            zwlr_gamma_control_manager_v1_destroy(m_manager);
        if (m_registry)
            wl_registry_destroy(m_registry);
        if (m_display)
            wl_display_disconnect(m_display);
    }

    bool open()
    {
        const char *name = std::getenv("WAYLAND_DISPLAY");
        if (!name || !*name || !(m_display = wl_display_connect(nullptr)))
            return false;
        m_registry = wl_display_get_registry(m_display);
        static const wl_registry_listener kRegistry = {&WlrGammaControl::onGlobal,
                                                       [](void *, wl_registry *, std::uint32_t) {}};
        wl_registry_add_listener(m_registry, &kRegistry, this);
        if (wl_display_roundtrip(m_display) < 0 || !m_manager)
            return false;
        static const zwlr_gamma_control_v1_listener kControl = {
            [](void *data, zwlr_gamma_control_v1 *, std::uint32_t size) {
                static_cast<Output *>(data)->size = size;
            },
            [](void *data, zwlr_gamma_control_v1 *) { static_cast<Output *>(data)->failed = true; },
        };
        for (Output &o : m_outputs) {
            o.control = zwlr_gamma_control_manager_v1_get_gamma_control(m_manager, o.output);
            zwlr_gamma_control_v1_add_listener(o.control, &kControl, &o);
        }
        if (wl_display_roundtrip(m_display) < 0)
            return false;
        for (const Output &o : m_outputs)
            if (!o.failed && o.size > 1)
                return true;
        return false;
    }

    bool setRamp(const GammaRamp &ramp) override
    {
        wl_display_dispatch_pending(m_display); // a control may have failed since
        bool any = false;
        for (const Output &o : m_outputs) {
            if (o.failed || o.size < 2)
                continue;
            // Red, green and blue tables of `size` entries each, in a file the
            // compositor reads.
            std::vector<std::uint16_t> table(std::size_t(o.size) * 3);
            for (std::size_t i = 0; i < o.size; ++i) {
                const std::size_t from = i * 255 / (o.size - 1);
                table[i] = ramp.red[from];
                table[o.size + i] = ramp.green[from];
                table[2 * o.size + i] = ramp.blue[from];
            }
            const int fd = memfd_create("velko-gamma", MFD_CLOEXEC);
            const auto bytes = ssize_t(table.size() * sizeof table[0]);
            if (fd < 0)
                continue;
            if (::write(fd, table.data(), std::size_t(bytes)) == bytes &&
                ::lseek(fd, 0, SEEK_SET) == 0) {
                zwlr_gamma_control_v1_set_gamma(o.control, fd);
                any = true;
            }
            ::close(fd);
        }
        return wl_display_flush(m_display) >= 0 && any;
    }

private:
    static void onGlobal(void *data, wl_registry *registry, std::uint32_t name,
                         const char *interface, std::uint32_t)
    {
        auto *self = static_cast<WlrGammaControl *>(data);
        if (std::strcmp(interface, wl_output_interface.name) == 0) {
            Output o;
            o.output = static_cast<wl_output *>(
                wl_registry_bind(registry, name, &wl_output_interface, 1));
            self->m_outputs.push_back(o);
        } else if (!self->m_manager &&
                   std::strcmp(interface, zwlr_gamma_control_manager_v1_interface.name) == 0) {
            self->m_manager = static_cast<zwlr_gamma_control_manager_v1 *>(
                wl_registry_bind(registry, name, &zwlr_gamma_control_manager_v1_interface, 1));
        }
    }

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    zwlr_gamma_control_manager_v1 *m_manager = nullptr;
    std::deque<Output> m_outputs; // stay where they are: the listeners hold their addresses
};

} // namespace

std::unique_ptr<WlrGamma> WlrGamma::connect()
{
    auto gamma = std::make_unique<WlrGammaControl>();
    if (!gamma->open())
        gamma.reset();
    return gamma;
}

} // namespace platform::linuxport
