// Termination requests on Linux: a signal the session or a terminal sends reaches
// the handler from the event loop; one the process was started ignoring stays
// ignored.
#include "termination.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

bool ignored(int signal)
{
    struct sigaction now = {};
    return ::sigaction(signal, nullptr, &now) == 0 && now.sa_handler == SIG_IGN;
}

// Turns the event loop until `requests` reaches `count`, for 200 ms at most (the
// signal has been noted when raise() returns).
void awaitRequests(const int &requests, int count)
{
    for (int i = 0; i < 20 && requests < count; ++i) {
        QCoreApplication::processEvents();
        if (requests < count)
            ::usleep(10000);
    }
}

} // namespace

TEST(TerminationWatch, LeavesIgnoredSignalsIgnored)
{
    int argc = 1;
    char name[] = "platform_linux_tests";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    std::signal(SIGHUP, SIG_IGN); // as nohup starts a program
    int requests = 0;
    {
        const auto watch = platform::watchTerminationRequests([&] { ++requests; });
        ASSERT_TRUE(watch);
        EXPECT_TRUE(ignored(SIGHUP));
        std::raise(SIGHUP);
        awaitRequests(requests, 1);
        EXPECT_EQ(requests, 0);
        std::raise(SIGTERM);
        awaitRequests(requests, 1);
        EXPECT_EQ(requests, 1);
    }
    EXPECT_TRUE(ignored(SIGHUP));
    EXPECT_FALSE(ignored(SIGTERM));
    std::signal(SIGHUP, SIG_DFL);
}
