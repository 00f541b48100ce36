// The signals reach the main thread through a pipe: the signal handler only
// writes a byte (all it may safely do), and a socket notifier on the pipe's other
// end runs the handler from the event loop.
#include "termination.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

int g_writeEnd = -1;

extern "C" void noteSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a request that has not been handled yet.
    (void)!::write(g_writeEnd, &byte, 1);
    errno = saved;
}

class LinuxTerminationWatch : public TerminationWatch
{
public:
    explicit LinuxTerminationWatch(std::function<void()> handler) : m_handler(std::move(handler)) {}

    bool start()
    {
        if (g_writeEnd >= 0 || ::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return false;
        g_writeEnd = m_pipe[1];
        m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
            char bytes[64];
            while (::read(m_pipe[0], bytes, sizeof bytes) > 0) {
            }
            m_handler();
        });
        struct sigaction action = {};
        action.sa_handler = noteSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            // A signal the process was started ignoring stays ignored: the SIGHUP
            // of a program started with nohup, the SIGINT of a background job.
            if (::sigaction(kSignals[i], nullptr, &m_former[i]) != 0 ||
                m_former[i].sa_handler == SIG_IGN)
                continue;
            m_installed[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
        }
        return true;
    }

    ~LinuxTerminationWatch() override
    {
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            if (m_installed[i])
                ::sigaction(kSignals[i], &m_former[i], nullptr);
        }
        m_notifier.reset();
        if (g_writeEnd == m_pipe[1])
            g_writeEnd = -1;
        for (int fd : m_pipe) {
            if (fd >= 0)
                ::close(fd);
        }
    }

private:
    std::function<void()> m_handler;
    int m_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_former[std::size(kSignals)] = {};
    bool m_installed[std::size(kSignals)] = {};
};

} // namespace

std::unique_ptr<TerminationWatch> watchTerminationRequests(std::function<void()> handler)
{
    auto watch = std::make_unique<LinuxTerminationWatch>(std::move(handler));
    if (!watch->start())
        return nullptr;
    return watch;
}

} // namespace platform
