#include "fake_native_messages.h"

namespace platform::fake {

bool FakeNativeMessages::post(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const NativeMessage m{window, message, wParam, lParam};
    m_calls.push_back(m);
    if (!m_canPost || window == 0 || (m_limit != 0 && m_queue.size() >= m_limit))
        return false;
    m_queue.push_back(m);
    return true;
}

bool FakeNativeMessages::decode(const std::string &eventType, const void *message,
                                NativeMessage &out) const
{
    if (!message || eventType != kEventType)
        return false;
    out = *static_cast<const NativeMessage *>(message);
    return true;
}

std::uintptr_t FakeNativeMessages::createReceiver(const std::string &title, Receiver receiver)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_canPost || m_receiver)
        return 0;
    m_receiverTitle = title;
    m_receiver = std::move(receiver);
    return kReceiverWindow;
}

std::string FakeNativeMessages::receiverTitle() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_receiverTitle;
}

std::size_t FakeNativeMessages::deliverQueued()
{
    Receiver receiver;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        receiver = m_receiver;
    }
    std::size_t delivered = 0;
    // One at a time, so that what the receiver posts meanwhile comes after.
    for (;;) {
        NativeMessage m;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_queue.empty())
                return delivered;
            m = m_queue.front();
            m_queue.pop_front();
        }
        if (receiver && m.window == kReceiverWindow) {
            receiver(m);
            ++delivered;
        }
    }
}

void FakeNativeMessages::setQueueLimit(std::size_t limit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_limit = limit;
}

std::vector<NativeMessage> FakeNativeMessages::takeQueued()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<NativeMessage> taken(m_queue.begin(), m_queue.end());
    m_queue.clear();
    return taken;
}

std::size_t FakeNativeMessages::queuedCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}

std::vector<NativeMessage> FakeNativeMessages::postCalls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

} // namespace platform::fake
