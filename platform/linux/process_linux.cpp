// The process table on Linux is /proc: a process's executable is the target of
// /proc/<pid>/exe; its state in /proc/<pid>/stat tells exited but unreaped
// processes (zombies) apart from live ones.
#include "process.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <limits.h>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace platform {

std::string executableFileName(const std::string &program)
{
    return program;
}

namespace {

bool equalsIgnoringCase(const std::string &a, const std::string &b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The state letter of /proc/<pid>/stat: the field after the command in brackets,
// which may itself contain spaces and brackets. '?' when unreadable.
char processState(const std::string &pid)
{
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return '?';
    const auto close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size())
        return '?';
    return line[close + 2];
}

std::string executableName(const std::string &pid)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink(("/proc/" + pid + "/exe").c_str(), target, sizeof(target) - 1);
    if (n > 0) {
        std::string path(target, std::size_t(n));
        const std::string deleted = " (deleted)";
        if (path.size() > deleted.size() &&
            path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
            path.resize(path.size() - deleted.size());
        const auto slash = path.rfind('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }
    // Another user's process: only its (at most 15 characters) command name shows.
    std::ifstream comm("/proc/" + pid + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

// Whether the process runs as this user. Another user's programs are theirs: each
// user who logs in has an agent of their own, and nobody else's is ended.
bool ownedByThisUser(const std::string &pid)
{
    struct stat info {};
    return ::stat(("/proc/" + pid).c_str(), &info) == 0 && info.st_uid == ::getuid();
}

// Calls `visit` with the id of every live process of this user whose executable is
// `fileName`.
void forEachMatch(const std::string &fileName, const std::function<bool(pid_t)> &visit)
{
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return;
    while (const dirent *entry = ::readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit))
            continue;
        const char state = processState(pid);
        if (state == '?' || state == 'Z' || state == 'X')
            continue;
        if (!ownedByThisUser(pid))
            continue;
        if (!equalsIgnoringCase(executableName(pid), fileName))
            continue;
        if (!visit(pid_t(std::atoi(pid.c_str()))))
            break;
    }
    ::closedir(proc);
}

class LinuxProcessTable : public ProcessTable
{
public:
    bool isRunning(const std::string &fileName) override
    {
        bool found = false;
        forEachMatch(fileName, [&](pid_t) {
            found = true;
            return false;
        });
        return found;
    }

    bool forceKill(const std::string &fileName) override
    {
        std::vector<pid_t> killed;
        forEachMatch(fileName, [&](pid_t pid) {
            if (pid != ::getpid() && ::kill(pid, SIGKILL) == 0)
                killed.push_back(pid);
            return true;
        });
        const bool any = !killed.empty();
        // Like taskkill, return once the processes are gone (or only wait for their
        // parent to reap them), at most two seconds.
        for (int round = 0; round < 200 && !killed.empty(); ++round) {
            killed.erase(std::remove_if(killed.begin(), killed.end(),
                                        [](pid_t pid) {
                                            const char state = processState(std::to_string(pid));
                                            return state == '?' || state == 'Z' || state == 'X';
                                        }),
                         killed.end());
            if (!killed.empty())
                ::usleep(10000);
        }
        return any;
    }
};

} // namespace

std::unique_ptr<ProcessTable> createProcessTable()
{
    return std::make_unique<LinuxProcessTable>();
}

} // namespace platform
