// A simulated low-level mouse hook: tests hand it events as the system would and
// read back whether the filter swallowed them. The filter runs on the thread that
// calls deliver(), as on the real hook's own thread.
#pragma once

#include "mouse_hook.h"

#include <mutex>

namespace platform::fake {

class FakeMouseHook : public MouseHook
{
public:
    // MouseHook
    bool start(Filter filter) override;
    void stop() override;
    bool isRunning() const override;

    void setAvailable(bool available); // unavailable: start() fails
    // The event through the filter: true when it was swallowed; false when let on
    // or when the hook is not running. Any thread.
    bool deliver(const MouseHookEvent &event);

private:
    mutable std::mutex m_mutex;
    Filter m_filter;
    bool m_available = true;
};

} // namespace platform::fake
