// A simulated mouse filter driver behind the control-device interface. It keeps
// the driver's state (hooked, filter masks, debug level), queues input records and
// releases the hooked semaphore once per record, and records every request.
// Thread-safe: tests feed records from any thread while the driver thread reads.
#pragma once

#include "filter_device.h"
#include "detail/counting_semaphore.h"

#include <deque>
#include <mutex>
#include <vector>

namespace platform::fake {

class FakeFilterDevice : public FilterDevice
{
public:
    struct Request
    {
        std::uint32_t code;
        std::uint32_t input; // 0 when the request had none
        bool hadInput;
    };

    FakeFilterDevice() = default;

    // FilterDevice
    bool createSemaphore(std::uint32_t maximumCount) override;
    std::uint32_t semaphoreToken() const override;
    void releaseSemaphore() override;
    void closeSemaphore() override;
    bool waitSemaphore() override;
    bool open() override;
    bool isOpen() const override;
    ControlResult control(std::uint32_t code, const std::uint32_t *input,
                          std::uint32_t *output) override;
    void close() override;
    void debugOutput(const std::string &utf8) override;

    // The simulated driver's behaviour.
    void setPresent(bool present); // absent: open() fails, an open device goes away
    void setFailingCode(std::uint32_t code); // requests with this code fail (0: none)

    // Queues one input record as the driver does for a filtered mouse event: only
    // while hooked; releases the semaphore once. Returns false when not hooked or
    // the semaphore is at its maximum.
    bool pushRecord(std::uint32_t record);

    // Observations.
    std::vector<Request> requests() const;
    std::vector<std::string> debugLines() const;
    // Forgets the requests seen so far (long runs would keep every read).
    void clearRequests();
    bool isHooked() const;
    std::uint32_t mouseFilter() const;
    std::uint32_t keyboardFilter() const;
    std::uint32_t debugLevel() const;
    std::size_t pendingRecords() const;
    bool hasSemaphore() const;

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<detail::CountingSemaphore> m_semaphore;
    std::uint32_t m_semaphoreMax = 0;
    bool m_present = true;
    bool m_open = false;
    bool m_hooked = false;
    std::uint32_t m_failingCode = 0;
    std::uint32_t m_mouseFilter = 0;
    std::uint32_t m_keyboardFilter = 0;
    std::uint32_t m_debugLevel = 0;
    std::deque<std::uint32_t> m_records;
    std::vector<Request> m_requests;
    std::vector<std::string> m_debugLines;
};

} // namespace platform::fake
