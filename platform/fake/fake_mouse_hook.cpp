#include "fake_mouse_hook.h"

namespace platform::fake {

bool FakeMouseHook::start(Filter filter)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_available || !filter)
        return false;
    m_filter = std::move(filter);
    return true;
}

void FakeMouseHook::stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_filter = nullptr;
}

bool FakeMouseHook::isRunning() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bool(m_filter);
}

void FakeMouseHook::setAvailable(bool available)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_available = available;
}

bool FakeMouseHook::deliver(const MouseHookEvent &event)
{
    // Held while the filter runs, so that stop() returns only after the last call,
    // as the real hook's does.
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_filter && m_filter(event);
}

} // namespace platform::fake
