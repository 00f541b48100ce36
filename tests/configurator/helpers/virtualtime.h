// Time for the pairing worker in tests: every wait advances a virtual clock at
// once, and a chosen wait can be held until the sequence is abandoned.
#pragma once

#include "workerwait.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class VirtualTime
{
public:
    std::int64_t now() const;
    std::vector<int> sleeps() const;
    void clearSleeps();

    // The next wait of exactly `milliseconds` blocks until interrupted.
    void holdNext(int milliseconds);
    // Blocks the caller until a wait is being held; false after `timeoutMs`.
    bool waitUntilHeld(int timeoutMs);

    // WorkerWait's side.
    bool sleep(int milliseconds);
    void interrupt();
    void reset();
    bool isInterrupted() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::int64_t m_now = 0;
    std::vector<int> m_sleeps;
    int m_holdMs = -1;
    bool m_holding = false;
    bool m_interrupted = false;
};

class VirtualWait : public WorkerWait
{
public:
    explicit VirtualWait(std::shared_ptr<VirtualTime> time) : m_time(std::move(time)) {}
    bool sleep(int milliseconds) override { return m_time->sleep(milliseconds); }
    void interrupt() override { m_time->interrupt(); }
    void reset() override { m_time->reset(); }
    bool isInterrupted() const override { return m_time->isInterrupted(); }

private:
    std::shared_ptr<VirtualTime> m_time;
};
