// Recording pointer speed, power and workstation lock: nothing reaches the system.
#pragma once

#include "pointer_speed.h"
#include "power.h"
#include "workstation_lock.h"

#include <string>
#include <vector>

namespace platform::fake {

class FakePointerSpeed : public PointerSpeed
{
public:
    // Records every request; accepts 1..20 like the system, nothing while refusing
    // (a desktop whose pointer the agent cannot set).
    bool setSpeed(int speed) override;
    void setRefuses(bool refuses) { m_refuses = refuses; }
    bool speed(int &out) override;

    const std::vector<int> &requests() const { return m_requests; }
    int current() const { return m_current; }

private:
    std::vector<int> m_requests;
    int m_current = 10;
    bool m_refuses = false;
};

class FakePower : public Power
{
public:
    bool osVersion(OsVersion &out) override;
    bool enableShutdownPrivilege() override;
    bool exitWindows(std::uint32_t flags, std::uint32_t reason) override;

    // Failure injection and the reported system.
    void setVersionFails(bool fails) { m_versionFails = fails; }
    void setVersion(const OsVersion &version) { m_version = version; }
    void setPrivilegeFails(bool fails) { m_privilegeFails = fails; }

    // The calls in order: "version", "privilege", "exit 0x11 0".
    const std::vector<std::string> &calls() const { return m_calls; }

private:
    bool m_versionFails = false;
    bool m_privilegeFails = false;
    OsVersion m_version{10, 0, 19045, kVerPlatformWin32Nt};
    std::vector<std::string> m_calls;
};

class FakeWorkstationLock : public WorkstationLock
{
public:
    bool lock() override
    {
        ++m_locks;
        return true;
    }
    int locks() const { return m_locks; }

private:
    int m_locks = 0;
};

} // namespace platform::fake
