// Posted messages kept in a queue, as a window's message queue keeps them. Tests
// either hand them to the receiver of the window made by createReceiver()
// (deliverQueued(), as the message loop would), or take them out and hand them to
// a native-event hook as the event type kEventType with a pointer to the
// NativeMessage, which decode() accepts. Thread-safe.
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
    // Returns kReceiverWindow (0 when posting is unavailable or a window exists).
    std::uintptr_t createReceiver(const std::string &title, Receiver receiver) override;

    // The window createReceiver() makes.
    static constexpr std::uintptr_t kReceiverWindow = 0x7e57;
    // Its title; empty while there is none.
    std::string receiverTitle() const;
    // Hands the queued messages, oldest first, to the receiver when they were
    // posted to its window (others are dropped, as other windows would take
    // them), on the calling thread; returns how many reached it.
    std::size_t deliverQueued();

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
    std::string m_receiverTitle;
    Receiver m_receiver;
};

} // namespace platform::fake
