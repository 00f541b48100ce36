// The waits of the pairing worker. A sequence that is being abandoned must not sit
// out its sleeps, so every wait can be cut short from another thread.
#pragma once

#include <QMutex>
#include <QWaitCondition>

class WorkerWait
{
public:
    virtual ~WorkerWait() = default;

    // Blocks the calling thread for `milliseconds`, or until interrupt(). Returns
    // false when interrupted (then at once). Worker thread.
    virtual bool sleep(int milliseconds) = 0;

    // Ends the current sleep and makes every later one return false at once, until
    // reset(). Any thread.
    virtual void interrupt() = 0;
    virtual void reset() = 0;
    virtual bool isInterrupted() const = 0;
};

// Real time.
class ThreadWait : public WorkerWait
{
public:
    bool sleep(int milliseconds) override;
    void interrupt() override;
    void reset() override;
    bool isInterrupted() const override;

private:
    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_interrupted = false;
};
