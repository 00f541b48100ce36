// Posted messages kept in a queue, as a window's message queue keeps them. Tests
// take them out and hand them to the window's native-event hook as the event type
// kEventType with a pointer to the NativeMessage, which decode() accepts.
// Thread-safe.
#pragma once

#include "native_messages.h"

#include <deque>
#include <mutex>
#include <vector>

namespace platform::fake {

class FakeNativeMessages : public NativeMessages
{
public:
    static constexpr const char *kEventType = "fake_native_MSG";

    bool canPost() const override { return m_canPost; }
    // Queues the message unless posting is unavailable, the window is 0 or the
    // queue is full; every call is recorded.
    bool post(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    bool decode(const std::string &eventType, const void *message,
                NativeMessage &out) const override;

    // Behaviour. Set before use: canPost() is read by callers at any time.
    void setCanPost(bool canPost) { m_canPost = canPost; }
    void setQueueLimit(std::size_t limit); // 0: unlimited (the default)

    // The queued messages, oldest first; taking them empties the queue.
    std::vector<NativeMessage> takeQueued();
    std::size_t queuedCount() const;
    // Every post() call in order, failed ones included.
    std::vector<NativeMessage> postCalls() const;

private:
    mutable std::mutex m_mutex;
    bool m_canPost = true;
    std::size_t m_limit = 0;
    std::deque<NativeMessage> m_queue;
    std::vector<NativeMessage> m_calls;
};

} // namespace platform::fake
