// The mouse filter driver exists only on Windows. The semaphore still works so
// that the driver thread can be started and stopped as on Windows.
#include "filter_device.h"
#include "detail/counting_semaphore.h"
#include "unavailable.h"

#include <QDebug>

#include <atomic>

namespace platform {
namespace {

class LinuxFilterDevice : public FilterDevice
{
public:
    bool createSemaphore(std::uint32_t maximumCount) override
    {
        if (!m_semaphore)
            std::atomic_store(&m_semaphore,
                              std::make_shared<detail::CountingSemaphore>(maximumCount));
        return true;
    }
    std::uint32_t semaphoreToken() const override { return m_semaphore ? 1 : 0; }
    void releaseSemaphore() override
    {
        if (auto s = std::atomic_load(&m_semaphore))
            s->release();
    }
    void closeSemaphore() override { std::atomic_store(&m_semaphore, {}); }
    bool waitSemaphore() override
    {
        auto s = std::atomic_load(&m_semaphore);
        if (!s)
            return false;
        s->acquire();
        return true;
    }

    bool open() override
    {
        linuxport::reportUnavailable("mouse filter driver");
        return false;
    }
    bool isOpen() const override { return false; }
    ControlResult control(std::uint32_t, const std::uint32_t *, std::uint32_t *) override
    {
        ControlResult r;
        r.error = 6; // ERROR_INVALID_HANDLE
        return r;
    }
    void close() override {}
    void debugOutput(const std::string &utf8) override
    {
        qDebug().noquote() << QString::fromStdString(utf8);
    }

private:
    std::shared_ptr<detail::CountingSemaphore> m_semaphore;
};

} // namespace

std::unique_ptr<FilterDevice> createFilterDevice()
{
    return std::make_unique<LinuxFilterDevice>();
}

} // namespace platform
