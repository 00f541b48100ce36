#include "instance_lock.h"
#include "win32_util.h"

namespace platform {
namespace {

class Win32InstanceLock : public InstanceLock
{
public:
    ~Win32InstanceLock() override
    {
        if (m_handle)
            CloseHandle(m_handle);
    }

    LockResult acquire(const std::string &name) override
    {
        HANDLE h = CreateMutexW(nullptr, FALSE, win32::widen(name).c_str());
        if (!h)
            return LockResult::Failed;
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(h);
            return LockResult::AlreadyHeld;
        }
        m_handle = h;
        return LockResult::Acquired;
    }

private:
    HANDLE m_handle = nullptr;
};

} // namespace

std::unique_ptr<InstanceLock> createInstanceLock()
{
    return std::make_unique<Win32InstanceLock>();
}

} // namespace platform
