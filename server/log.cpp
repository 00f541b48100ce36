#include "log.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace velko::server {
namespace {
std::mutex g_mutex;
std::atomic<bool> g_quiet{false};
} // namespace

void setLogQuiet(bool quiet)
{
    g_quiet = quiet;
}

void logLine(const std::string &line)
{
    if (g_quiet)
        return;
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &utc);
    std::lock_guard lock(g_mutex);
    std::fprintf(stderr, "%s.%03dZ %s\n", stamp, int(millis), line.c_str());
}

} // namespace velko::server
