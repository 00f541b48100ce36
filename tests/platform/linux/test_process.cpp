// The Linux process table: lookup and forced kill by file name; zombies do not count.
#include "process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// "running the copy" once `pid` runs the executable the fixture made.
std::string processState(pid_t pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.rfind("VelkoT", 0) == 0 ? "running the copy" : name;
}

// A minute-long copy of sleep(1) under a name of at most 15 characters, the kernel's limit.
class ProcessTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::ofstream(path, std::ios::binary)
            << std::ifstream("/bin/sleep", std::ios::binary).rdbuf();
        ::chmod(path.c_str(), 0755);
        char *argv[] = {path.data(), const_cast<char *>("60"), nullptr};
        ASSERT_EQ(::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ), 0);
        for (int i = 0; i < 500 && !table->isRunning(name); ++i)
            ::usleep(10000); // until it runs the copy
        ASSERT_TRUE(table->isRunning(name));
    }
    void TearDown() override
    {
        if (pid > 0 && ::kill(pid, SIGKILL) == 0)
            ::waitpid(pid, nullptr, 0);
        ::unlink(path.c_str());
    }

    std::string name = "VelkoT" + std::to_string(::getpid() % 100000);
    std::string path = "/tmp/" + name;
    pid_t pid = -1;
    std::unique_ptr<platform::ProcessTable> table = platform::createProcessTable();
};

TEST_F(ProcessTable, FindsAndForceKillsProgramsByFileNameInAnyLetterCase)
{
    EXPECT_EQ(platform::executableFileName("VelkoOptions"), "VelkoOptions");
    EXPECT_TRUE(table->isRunning("velkot" + name.substr(6)));
    EXPECT_FALSE(table->isRunning(name + "x") || table->isRunning(name.substr(1)) ||
                 table->isRunning(""));
    EXPECT_TRUE(table->forceKill("VELKOT" + name.substr(6)));
    EXPECT_FALSE(table->isRunning(name)); // gone before its parent reaps it
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    pid = -1; // reaped
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_FALSE(table->forceKill(name));
}

// Another user's program of that name is theirs: not seen, not ended.
TEST_F(ProcessTable, AnotherUsersProgramIsNotThisUsers)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "starting a program as another user needs root";
    ASSERT_TRUE(table->forceKill(name));
    ::waitpid(pid, nullptr, 0);
    pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        char *argv[] = {path.data(), const_cast<char *>("60"), nullptr};
        if (::setgid(65534) == 0 && ::setuid(65534) == 0)
            ::execv(path.c_str(), argv);
        ::_exit(127);
    }
    for (int i = 0; i < 100 && processState(pid) != "running the copy"; ++i)
        ::usleep(10000);
    EXPECT_EQ(processState(pid), "running the copy");
    EXPECT_FALSE(table->isRunning(name));
    EXPECT_FALSE(table->forceKill(name));
}

TEST_F(ProcessTable, AnExitedButUnreapedProcessDoesNotCount)
{
    ::kill(pid, SIGKILL);
    std::string stat;
    for (int i = 0; i < 500 && stat.find(") Z") == std::string::npos; ++i) {
        ::usleep(10000);
        std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/stat"), stat);
    }
    ASSERT_NE(stat.find(") Z"), std::string::npos); // a zombie
    EXPECT_FALSE(table->isRunning(name));
}

} // namespace
