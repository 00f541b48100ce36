#include "fake_instance_lock.h"

#include <mutex>
#include <set>

namespace platform::fake {
namespace {
std::mutex g_mutex;
std::set<std::string> &heldNames()
{
    static std::set<std::string> names;
    return names;
}
} // namespace

FakeInstanceLock::~FakeInstanceLock()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!m_held.empty())
        heldNames().erase(m_held);
}

LockResult FakeInstanceLock::acquire(const std::string &name)
{
    if (m_failing)
        return LockResult::Failed;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!heldNames().insert(name).second)
        return LockResult::AlreadyHeld;
    m_held = name;
    return LockResult::Acquired;
}

bool FakeInstanceLock::isHeld(const std::string &name)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return heldNames().count(name) != 0;
}

} // namespace platform::fake
