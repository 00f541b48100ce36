#include "fake_filter_device.h"

namespace platform::fake {

namespace {
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorGenFailure = 31;
constexpr std::uint32_t kErrorNoMoreItems = 259;
} // namespace

bool FakeFilterDevice::createSemaphore(std::uint32_t maximumCount)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_semaphore) {
        m_semaphore = std::make_shared<detail::CountingSemaphore>(maximumCount);
        m_semaphoreMax = maximumCount;
    }
    return true;
}

std::uint32_t FakeFilterDevice::semaphoreToken() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_semaphore ? 0x1F4 : 0;
}

void FakeFilterDevice::releaseSemaphore()
{
    std::shared_ptr<detail::CountingSemaphore> s;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        s = m_semaphore;
    }
    if (s)
        s->release();
}

void FakeFilterDevice::closeSemaphore()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_semaphore.reset();
}

bool FakeFilterDevice::waitSemaphore()
{
    std::shared_ptr<detail::CountingSemaphore> s;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        s = m_semaphore;
    }
    if (!s)
        return false;
    s->acquire();
    return true;
}

bool FakeFilterDevice::open()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_present)
        return false;
    m_open = true;
    return true;
}

bool FakeFilterDevice::isOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_open;
}

ControlResult FakeFilterDevice::control(std::uint32_t code, const std::uint32_t *input,
                                        std::uint32_t *output)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ControlResult r;
    m_requests.push_back({code, input ? *input : 0, input != nullptr});
    if (!m_open) {
        r.error = kErrorInvalidHandle;
        return r;
    }
    if (code == m_failingCode) {
        r.error = kErrorGenFailure;
        return r;
    }
    const std::uint32_t value = input ? *input : 0;
    switch (code) {
    case kIoctlWtHook:
        m_hooked = true;
        break;
    case kIoctlWtUnhook:
        m_hooked = false;
        m_records.clear();
        break;
    case kIoctlWtRead:
        if (m_records.empty() || !output) {
            r.error = kErrorNoMoreItems;
            return r;
        }
        *output = m_records.front();
        m_records.pop_front();
        r.bytesReturned = 4;
        break;
    case kIoctlSetMsFilter:
        m_mouseFilter = value;
        break;
    case kIoctlSetKbFilter:
        m_keyboardFilter = value;
        break;
    case kIoctlSetDebug:
        m_debugLevel = value;
        break;
    default:
        r.error = 1; // ERROR_INVALID_FUNCTION
        return r;
    }
    r.ok = true;
    return r;
}

void FakeFilterDevice::close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_open = false;
}

void FakeFilterDevice::debugOutput(const std::string &utf8)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_debugLines.push_back(utf8);
}

void FakeFilterDevice::setPresent(bool present)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_present = present;
    if (!present) { // unplugged or uninstalled: the open handle is dead
        m_open = false;
        m_hooked = false;
        m_records.clear();
    }
}

void FakeFilterDevice::setFailingCode(std::uint32_t code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failingCode = code;
}

bool FakeFilterDevice::pushRecord(std::uint32_t record)
{
    std::shared_ptr<detail::CountingSemaphore> s;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_open || !m_hooked || !m_semaphore)
            return false;
        if (m_semaphore->count() >= m_semaphoreMax)
            return false;
        m_records.push_back(record);
        s = m_semaphore;
    }
    return s->release();
}

std::vector<FakeFilterDevice::Request> FakeFilterDevice::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void FakeFilterDevice::clearRequests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
    m_requests.shrink_to_fit();
}

std::vector<std::string> FakeFilterDevice::debugLines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_debugLines;
}

bool FakeFilterDevice::isHooked() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hooked;
}

std::uint32_t FakeFilterDevice::mouseFilter() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mouseFilter;
}

std::uint32_t FakeFilterDevice::keyboardFilter() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_keyboardFilter;
}

std::uint32_t FakeFilterDevice::debugLevel() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_debugLevel;
}

std::size_t FakeFilterDevice::pendingRecords() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_records.size();
}

bool FakeFilterDevice::hasSemaphore() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_semaphore != nullptr;
}

} // namespace platform::fake
