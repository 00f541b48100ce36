// The Linux process table: lookup by executable file name in any letter case,
// exited but unreaped processes not counting, and the forced kill.
#include "process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <limits.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

std::string ownExecutableName()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return {};
    const std::string full(path, std::size_t(n));
    return full.substr(full.rfind('/') + 1);
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

char stateOf(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() ? '?' : line[close + 2];
}

// A copy of sleep(1) under a name of this test's own, running for a minute.
class SleepingChild
{
public:
    explicit SleepingChild(const std::string &name)
        : m_path("/tmp/" + name + "-" + std::to_string(::getpid()))
    {
        std::ifstream in("/bin/sleep", std::ios::binary);
        std::ofstream out(m_path, std::ios::binary);
        out << in.rdbuf();
        out.close();
        ::chmod(m_path.c_str(), 0755);
        char *argv[] = {const_cast<char *>(m_path.c_str()), const_cast<char *>("60"), nullptr};
        if (::posix_spawn(&m_pid, m_path.c_str(), nullptr, nullptr, argv, environ) != 0)
            m_pid = -1;
    }
    ~SleepingChild()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        std::remove(m_path.c_str());
    }
    pid_t pid() const { return m_pid; }
    std::string fileName() const { return m_path.substr(m_path.rfind('/') + 1); }
    // Reaps the child; its wait status.
    int reap()
    {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }

private:
    std::string m_path;
    pid_t m_pid = -1;
};

// Waits until `pid` has started running the copied program.
bool waitForExec(platform::ProcessTable &table, const std::string &name)
{
    for (int i = 0; i < 500; ++i) {
        if (table.isRunning(name))
            return true;
        ::usleep(10000);
    }
    return false;
}

TEST(LinuxProcessTable, ExecutableFileNameIsTheProgramName)
{
    EXPECT_EQ(platform::executableFileName("VelkoOptions"), "VelkoOptions");
}

TEST(LinuxProcessTable, FindsItselfInAnyLetterCase)
{
    auto table = platform::createProcessTable();
    const std::string own = ownExecutableName();
    ASSERT_FALSE(own.empty());
    EXPECT_TRUE(table->isRunning(own));
    EXPECT_TRUE(table->isRunning(upper(own)));
    EXPECT_FALSE(table->isRunning(own + "x"));
    EXPECT_FALSE(table->isRunning(own.substr(1)));
    EXPECT_FALSE(table->isRunning(""));
}

TEST(LinuxProcessTable, ExitedButUnreapedProcessDoesNotCount)
{
    auto table = platform::createProcessTable();
    SleepingChild child("VZombie"); // short enough for the kernel's 15-character name
    ASSERT_GT(child.pid(), 0);
    ASSERT_TRUE(waitForExec(*table, child.fileName()));
    ::kill(child.pid(), SIGKILL);
    for (int i = 0; i < 500 && stateOf(child.pid()) != 'Z'; ++i)
        ::usleep(10000);
    ASSERT_EQ(stateOf(child.pid()), 'Z');
    EXPECT_FALSE(table->isRunning(child.fileName()));
    child.reap();
}

TEST(LinuxProcessTable, ForceKillEndsEveryMatchAtOnce)
{
    auto table = platform::createProcessTable();
    SleepingChild child("VelkoKillTarget");
    ASSERT_GT(child.pid(), 0);
    ASSERT_TRUE(waitForExec(*table, child.fileName()));
    EXPECT_TRUE(table->forceKill(upper(child.fileName())));
    // Gone by the time the call returns, though not yet reaped by its parent.
    EXPECT_FALSE(table->isRunning(child.fileName()));
    const int status = child.reap();
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_FALSE(table->forceKill(child.fileName()));
}

} // namespace
