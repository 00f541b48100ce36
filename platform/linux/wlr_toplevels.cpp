// The wlroots compositors' window list: the foreign-toplevel protocol.
#include "compositor_windows.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <poll.h>

namespace platform::linuxport {
namespace {

// The highest version of the list this code knows.
constexpr std::uint32_t kManagerVersion = 3;

class WlrToplevels;

struct Handle
{
    WlrToplevels *owner = nullptr;
    zwlr_foreign_toplevel_handle_v1 *proxy = nullptr;
    CompositorWindow shown;   // as of the last "done"
    CompositorWindow pending; // collecting the changes until the next "done"
};

class WlrToplevels : public CompositorWindows
{
public:
    ~WlrToplevels() override
    {
        m_notifier.reset();
        for (auto &handle : m_handles)
            zwlr_foreign_toplevel_handle_v1_destroy(handle->proxy);
        if (m_manager)
            zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
        if (m_registry)
            wl_registry_destroy(m_registry);
        if (m_display)
            wl_display_disconnect(m_display);
    }

    // Connects (instance() has seen a display named) and reads the first list;
    // false when there is no list to read.
    bool connect()
    {
        m_display = wl_display_connect(nullptr);
        if (!m_display)
            return false;
        m_registry = wl_display_get_registry(m_display);
        static const wl_registry_listener kRegistry = {&WlrToplevels::onGlobal,
                                                       [](void *, wl_registry *, std::uint32_t) {}};
        wl_registry_add_listener(m_registry, &kRegistry, this);
        // The globals, then the windows the manager announces on binding.
        if (wl_display_roundtrip(m_display) < 0 || !m_manager ||
            wl_display_roundtrip(m_display) < 0)
            return false;
        return true;
    }

    WindowId active() override
    {
        update();
        for (const auto &handle : m_handles)
            if (handle->shown.activated)
                return handle->shown.id;
        return 0;
    }

    // As last read: the questions about a window follow the one for the
    // active window, which read what had arrived.
    bool find(WindowId id, CompositorWindow &out) override
    {
        if (Handle *handle = byId(id)) {
            out = handle->shown;
            return true;
        }
        return false;
    }

    std::vector<CompositorWindow> all() override
    {
        update();
        std::vector<CompositorWindow> list;
        for (const auto &handle : m_handles)
            list.push_back(handle->shown);
        return byActivity(std::move(list));
    }

    bool setMaximized(WindowId id, bool maximized) override
    {
        Handle *handle = byId(id);
        if (!handle || !alive())
            return false;
        if (maximized)
            zwlr_foreign_toplevel_handle_v1_set_maximized(handle->proxy);
        else
            zwlr_foreign_toplevel_handle_v1_unset_maximized(handle->proxy);
        return wl_display_flush(m_display) >= 0 || errno == EAGAIN;
    }

    bool setMinimized(WindowId id, bool minimized) override
    {
        Handle *handle = byId(id);
        if (!handle || !alive())
            return false;
        if (minimized)
            zwlr_foreign_toplevel_handle_v1_set_minimized(handle->proxy);
        else
            zwlr_foreign_toplevel_handle_v1_unset_minimized(handle->proxy);
        return wl_display_flush(m_display) >= 0 || errno == EAGAIN;
    }

    void toggleShowDesktop() override
    {
        update();
        std::vector<WindowId> hidden;
        hidden.swap(m_hiddenByUs);
        // Windows closed or restored by the user since do not count.
        hidden.erase(std::remove_if(hidden.begin(), hidden.end(),
                                    [this](WindowId id) {
                                        Handle *handle = byId(id);
                                        return !handle || !handle->shown.minimized;
                                    }),
                     hidden.end());
        if (!hidden.empty()) {
            // Back in the order they were active, the last one on top.
            for (auto it = hidden.rbegin(); it != hidden.rend(); ++it)
                setMinimized(*it, false);
            return;
        }
        for (const CompositorWindow &window : all())
            if (!window.minimized && setMinimized(window.id, true))
                m_hiddenByUs.push_back(window.id);
    }

private:
    static void onGlobal(void *data, wl_registry *registry, std::uint32_t name,
                         const char *interface, std::uint32_t version)
    {
        auto *self = static_cast<WlrToplevels *>(data);
        if (self->m_manager ||
            std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) != 0)
            return;
        self->m_manager = static_cast<zwlr_foreign_toplevel_manager_v1 *>(
            wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface,
                             std::min(version, kManagerVersion)));
        static const zwlr_foreign_toplevel_manager_v1_listener kManager = {
            &WlrToplevels::onToplevel,
            // The compositor stops sending: the list stays as it was last told.
            [](void *, zwlr_foreign_toplevel_manager_v1 *) {}};
        zwlr_foreign_toplevel_manager_v1_add_listener(self->m_manager, &kManager, self);
    }

    static void onToplevel(void *data, zwlr_foreign_toplevel_manager_v1 *,
                           zwlr_foreign_toplevel_handle_v1 *proxy)
    {
        auto *self = static_cast<WlrToplevels *>(data);
        auto handle = std::make_unique<Handle>();
        handle->owner = self;
        handle->proxy = proxy;
        handle->pending.id = nextWaylandId(self->m_lastId);
        handle->shown.id = handle->pending.id;
        static const zwlr_foreign_toplevel_handle_v1_listener kHandle = {
            [](void *data, zwlr_foreign_toplevel_handle_v1 *, const char *title) {
                static_cast<Handle *>(data)->pending.title = title ? title : "";
            },
            [](void *data, zwlr_foreign_toplevel_handle_v1 *, const char *appId) {
                static_cast<Handle *>(data)->pending.appId = appId ? appId : "";
            },
            [](void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {},
            [](void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {},
            [](void *data, zwlr_foreign_toplevel_handle_v1 *, wl_array *states) {
                CompositorWindow &t = static_cast<Handle *>(data)->pending;
                t.activated = t.maximized = t.minimized = false;
                const auto *state = static_cast<const std::uint32_t *>(states->data);
                for (std::size_t i = 0; i < states->size / sizeof *state; ++i) {
                    t.activated |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
                    t.maximized |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MAXIMIZED;
                    t.minimized |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED;
                }
            },
            &WlrToplevels::onDone,
            &WlrToplevels::onClosed,
            [](void *, zwlr_foreign_toplevel_handle_v1 *, zwlr_foreign_toplevel_handle_v1 *) {},
        };
        zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &kHandle, handle.get());
        self->m_handles.push_back(std::move(handle));
    }

    static void onDone(void *data, zwlr_foreign_toplevel_handle_v1 *)
    {
        auto *handle = static_cast<Handle *>(data);
        WlrToplevels *self = handle->owner;
        if (handle->pending.activated && !handle->shown.activated)
            handle->pending.lastActive = ++self->m_activations;
        handle->shown = handle->pending;
    }

    static void onClosed(void *data, zwlr_foreign_toplevel_handle_v1 *proxy)
    {
        WlrToplevels *self = static_cast<Handle *>(data)->owner;
        auto &handles = self->m_handles;
        handles.erase(std::remove_if(handles.begin(), handles.end(),
                                     [proxy](const std::unique_ptr<Handle> &h) {
                                         return h->proxy == proxy;
                                     }),
                      handles.end());
        zwlr_foreign_toplevel_handle_v1_destroy(proxy);
    }

    Handle *byId(WindowId id)
    {
        for (auto &handle : m_handles)
            if (handle->shown.id == id)
                return handle.get();
        return nullptr;
    }

    bool alive() const { return m_display && wl_display_get_error(m_display) == 0; }

    // Reads what has arrived without waiting, and from then on whenever
    // something arrives while an event loop runs.
    void update()
    {
        if (!alive())
            return;
        if (!m_notifier && QCoreApplication::instance()) {
            m_notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display),
                                                           QSocketNotifier::Read);
            QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { read(); });
        }
        read();
    }

    void read()
    {
        while (wl_display_prepare_read(m_display) != 0)
            wl_display_dispatch_pending(m_display);
        wl_display_flush(m_display);
        pollfd p{wl_display_get_fd(m_display), POLLIN, 0};
        if (::poll(&p, 1, 0) > 0)
            wl_display_read_events(m_display);
        else
            wl_display_cancel_read(m_display);
        wl_display_dispatch_pending(m_display);
        if (!alive() && m_notifier && m_notifier->isEnabled()) {
            m_notifier->setEnabled(false); // the compositor is gone: nothing more comes
            qWarning() << "the Wayland compositor's window list ended";
        }
    }

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    zwlr_foreign_toplevel_manager_v1 *m_manager = nullptr;
    std::vector<std::unique_ptr<Handle>> m_handles;
    std::vector<WindowId> m_hiddenByUs;
    WindowId m_lastId = 0;
    std::uint64_t m_activations = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace

std::unique_ptr<CompositorWindows> connectWlrToplevels()
{
    auto list = std::make_unique<WlrToplevels>();
    if (!list->connect())
        list.reset();
    return list;
}

} // namespace platform::linuxport
