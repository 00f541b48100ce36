// Time for the pairing worker in tests: every wait advances a virtual clock at
// once, and a chosen wait can be held until the sequence is abandoned.
#pragma once

#include "workerwait.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class VirtualTime : public WorkerWait
{
public:
    using Lock = std::lock_guard<std::mutex>;
    std::int64_t now() const
    {
        Lock lock(m_mutex);
        return m_now;
    }
    std::vector<int> sleeps() const
    {
        Lock lock(m_mutex);
        return m_sleeps;
    }
    // The next wait of exactly `ms` blocks until interrupted.
    void holdNext(int ms)
    {
        Lock lock(m_mutex);
        m_holdMs = ms;
    }
    // Blocks until a wait is being held; false after `timeoutMs`.
    bool waitUntilHeld(int timeoutMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [this] { return m_holding; });
    }

    bool sleep(int ms) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_sleeps.push_back(ms);
        if (!m_interrupted && ms == m_holdMs) {
            m_holdMs = -1;
            m_holding = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_interrupted; });
            m_holding = false;
        }
        if (m_interrupted)
            return false;
        m_now += ms;
        return true;
    }
    void interrupt() override
    {
        Lock lock(m_mutex);
        m_interrupted = true;
        m_changed.notify_all();
    }
    void reset() override
    {
        Lock lock(m_mutex);
        m_interrupted = false;
    }
    bool isInterrupted() const override
    {
        Lock lock(m_mutex);
        return m_interrupted;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::int64_t m_now = 0;
    std::vector<int> m_sleeps;
    int m_holdMs = -1;
    bool m_holding = false;
    bool m_interrupted = false;
};

// A worker's own wait on a shared VirtualTime.
class VirtualWait : public WorkerWait
{
public:
    explicit VirtualWait(std::shared_ptr<VirtualTime> time) : m_time(std::move(time)) {}
    bool sleep(int ms) override { return m_time->sleep(ms); }
    void interrupt() override { m_time->interrupt(); }
    void reset() override { m_time->reset(); }
    bool isInterrupted() const override { return m_time->isInterrupted(); }

private:
    std::shared_ptr<VirtualTime> m_time;
};
