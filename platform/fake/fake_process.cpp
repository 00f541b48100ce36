#include "fake_process.h"

#include <algorithm>
#include <cctype>

namespace platform::fake {
namespace {
bool equalsIgnoringCase(const std::string &a, const std::string &b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}
} // namespace

bool FakeProcessTable::isRunning(const std::string &fileName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_queries;
    return std::any_of(m_processes.begin(), m_processes.end(),
                       [&](const std::string &p) { return equalsIgnoringCase(p, fileName); });
}

bool FakeProcessTable::forceKill(const std::string &fileName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_kills.push_back(fileName);
    const auto end =
        std::remove_if(m_processes.begin(), m_processes.end(),
                       [&](const std::string &p) { return equalsIgnoringCase(p, fileName); });
    const bool any = end != m_processes.end();
    m_processes.erase(end, m_processes.end());
    return any;
}

void FakeProcessTable::addProcess(const std::string &fileName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_processes.push_back(fileName);
}

void FakeProcessTable::removeProcess(const std::string &fileName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = std::find(m_processes.begin(), m_processes.end(), fileName);
    if (it != m_processes.end())
        m_processes.erase(it);
}

int FakeProcessTable::queryCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queries;
}

std::vector<std::string> FakeProcessTable::killRequests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_kills;
}

} // namespace platform::fake
