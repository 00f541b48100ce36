// A counting semaphore for the backends that have no kernel one (C++17 has none).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform::detail {

class CountingSemaphore
{
public:
    explicit CountingSemaphore(std::uint32_t maximum) : m_maximum(maximum) {}

    // Returns false when the count is already at its maximum (the release is lost,
    // as with ReleaseSemaphore).
    bool release()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_count >= m_maximum)
                return false;
            ++m_count;
        }
        m_cv.notify_one();
        return true;
    }

    void acquire()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [this] { return m_count > 0; });
        --m_count;
    }

    std::uint32_t count() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_count;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::uint32_t m_count = 0;
    const std::uint32_t m_maximum;
};

} // namespace platform::detail
