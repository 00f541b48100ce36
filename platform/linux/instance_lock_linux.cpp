#include "instance_lock.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {
namespace {

// An flock() on a per-user file: the kernel drops it when the process ends,
// however it ends, like a named mutex's last handle.
class LinuxInstanceLock : public InstanceLock
{
public:
    ~LinuxInstanceLock() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    LockResult acquire(const std::string &name) override
    {
        QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (dir.isEmpty())
            dir = QDir::tempPath();
        const QString path = dir + QStringLiteral("/%1-%2.lock")
                                       .arg(QString::fromStdString(name))
                                       .arg(::getuid());
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                              0600);
        if (fd < 0)
            return LockResult::Failed;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd);
            return err == EWOULDBLOCK ? LockResult::AlreadyHeld : LockResult::Failed;
        }
        m_fd = fd;
        return LockResult::Acquired;
    }

private:
    int m_fd = -1;
};

} // namespace

std::unique_ptr<InstanceLock> createInstanceLock()
{
    return std::make_unique<LinuxInstanceLock>();
}

} // namespace platform
