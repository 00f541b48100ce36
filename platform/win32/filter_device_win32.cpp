#include "filter_device.h"
#include "win32_util.h"

#include <atomic>

namespace platform {
namespace {

class Win32FilterDevice : public FilterDevice
{
public:
    ~Win32FilterDevice() override
    {
        close();
        closeSemaphore();
    }

    bool createSemaphore(std::uint32_t maximumCount) override
    {
        if (m_semaphore)
            return true;
        m_semaphore = CreateSemaphoreW(nullptr, 0, LONG(maximumCount), nullptr);
        return m_semaphore != nullptr;
    }

    std::uint32_t semaphoreToken() const override
    {
        // Kernel handles are 32-bit significant, also in 64-bit processes.
        return std::uint32_t(reinterpret_cast<std::uintptr_t>(m_semaphore.load()));
    }

    void releaseSemaphore() override
    {
        if (HANDLE s = m_semaphore.load())
            ReleaseSemaphore(s, 1, nullptr);
    }

    void closeSemaphore() override
    {
        if (HANDLE s = m_semaphore.exchange(nullptr))
            CloseHandle(s);
    }

    bool waitSemaphore() override
    {
        HANDLE s = m_semaphore.load();
        if (!s)
            return false;
        return WaitForSingleObject(s, INFINITE) == WAIT_OBJECT_0;
    }

    bool open() override
    {
        if (m_device)
            return true;
        HANDLE h = CreateFileW(L"\\\\.\\vlkmdrv", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        m_device = h;
        return true;
    }

    bool isOpen() const override { return m_device.load() != nullptr; }

    ControlResult control(std::uint32_t code, const std::uint32_t *input,
                          std::uint32_t *output) override
    {
        ControlResult r;
        HANDLE h = m_device.load();
        if (!h) {
            r.error = ERROR_INVALID_HANDLE;
            return r;
        }
        DWORD buffer = input ? *input : 0;
        DWORD returned = 0;
        const BOOL ok =
            DeviceIoControl(h, code, input ? &buffer : nullptr, input ? sizeof(buffer) : 0,
                            output ? &buffer : nullptr, output ? sizeof(buffer) : 0, &returned,
                            nullptr);
        r.ok = ok != FALSE;
        r.bytesReturned = returned;
        r.error = ok ? 0 : GetLastError();
        if (ok && output)
            *output = buffer;
        return r;
    }

    void close() override
    {
        if (HANDLE h = m_device.exchange(nullptr))
            CloseHandle(h);
    }

    void debugOutput(const std::string &utf8) override
    {
        OutputDebugStringW(win32::widen(utf8).c_str());
    }

private:
    std::atomic<HANDLE> m_semaphore{nullptr};
    std::atomic<HANDLE> m_device{nullptr};
};

} // namespace

std::unique_ptr<FilterDevice> createFilterDevice()
{
    return std::make_unique<Win32FilterDevice>();
}

} // namespace platform
