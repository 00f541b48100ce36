#include "virtualtime.h"

#include <chrono>

std::int64_t VirtualTime::now() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_now;
}

std::vector<int> VirtualTime::sleeps() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sleeps;
}

void VirtualTime::clearSleeps()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sleeps.clear();
}

void VirtualTime::holdNext(int milliseconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_holdMs = milliseconds;
}

bool VirtualTime::waitUntilHeld(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this] { return m_holding; });
}

bool VirtualTime::sleep(int milliseconds)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_sleeps.push_back(milliseconds);
    if (m_interrupted)
        return false;
    if (milliseconds == m_holdMs) {
        m_holdMs = -1;
        m_holding = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_interrupted; });
        m_holding = false;
        return false;
    }
    m_now += milliseconds;
    return true;
}

void VirtualTime::interrupt()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_interrupted = true;
    m_changed.notify_all();
}

void VirtualTime::reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_interrupted = false;
}

bool VirtualTime::isInterrupted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_interrupted;
}
