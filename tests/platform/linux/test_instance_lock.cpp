// The Linux single-instance lock across processes: held by one live process per
// user and name, and gone with its holder however the holder ends.
#include "instance_lock.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::LockResult;

std::string uniqueName(const char *what)
{
    return std::string("VelkoOptionsTest-") + what + "-" + std::to_string(::getpid());
}

// The result of acquire() in a fresh child process, as its exit code.
int acquireInChild(const std::string &name)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(static_cast<int>(platform::createInstanceLock()->acquire(name)));
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(LinuxInstanceLock, HeldAgainstOtherProcessesPerName)
{
    const std::string name = uniqueName("held");
    auto lock = platform::createInstanceLock();
    ASSERT_EQ(lock->acquire(name), LockResult::Acquired);
    EXPECT_EQ(acquireInChild(name), int(LockResult::AlreadyHeld));
    EXPECT_EQ(acquireInChild(uniqueName("other")), int(LockResult::Acquired));
    lock.reset();
    EXPECT_EQ(acquireInChild(name), int(LockResult::Acquired));
}

TEST(LinuxInstanceLock, KilledHolderReleasesTheLock)
{
    const std::string name = uniqueName("killed");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        auto lock = platform::createInstanceLock();
        const char ok = lock->acquire(name) == LockResult::Acquired ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        for (;;)
            ::pause();
    }
    char answer = 0;
    EXPECT_TRUE(::read(ready[0], &answer, 1) == 1 && answer == 'y');
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(acquireInChild(name), int(LockResult::Acquired));
    ::close(ready[0]);
    ::close(ready[1]);
}

} // namespace
