// In-process instance locks: names held by live FakeInstanceLock objects.
#pragma once

#include "instance_lock.h"

namespace platform::fake {

class FakeInstanceLock : public InstanceLock
{
public:
    ~FakeInstanceLock() override;
    LockResult acquire(const std::string &name) override;

    // Makes every acquire() answer Failed, as when the system refuses the mutex.
    void setFailing(bool failing) { m_failing = failing; }

    // True while some FakeInstanceLock holds `name`.
    static bool isHeld(const std::string &name);

private:
    std::string m_held;
    bool m_failing = false;
};

} // namespace platform::fake
