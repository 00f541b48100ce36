#include "fake_system_services.h"

#include <cstdio>
#include <string>

namespace platform::fake {

bool FakePointerSpeed::setSpeed(int speed)
{
    m_requests.push_back(speed);
    if (m_refuses || speed < 1 || speed > 20)
        return false;
    m_current = speed;
    return true;
}

bool FakePointerSpeed::speed(int &out)
{
    out = m_current;
    return true;
}

bool FakePower::osVersion(OsVersion &out)
{
    m_calls.push_back("version");
    if (m_versionFails)
        return false;
    out = m_version;
    return true;
}

bool FakePower::enableShutdownPrivilege()
{
    m_calls.push_back("privilege");
    return !m_privilegeFails;
}

bool FakePower::exitWindows(std::uint32_t flags, std::uint32_t reason)
{
    char text[48];
    std::snprintf(text, sizeof text, "exit 0x%X %u", unsigned(flags), unsigned(reason));
    m_calls.push_back(text);
    return true;
}

} // namespace platform::fake
