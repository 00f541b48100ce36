// File change notification on Linux: one inotify instance per watched file,
// watching the file's folder (so that a replacement by rename is seen as well as
// a write in place) and reading its queue without blocking at each poll.
//
// inotify reports a change before the writing call returns, but only for
// changes made through this machine's kernel: on network and user-space file
// systems it misses the writes of other machines or of the server, so it is used
// only on the local file systems listed below. A symbolic link as the file or the
// folder would let the target change without an event in the folder; then the
// watch answers Possible at every poll.
#include "file_change.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {
namespace {

// Local file systems whose changes all pass through this kernel (statfs f_type).
constexpr unsigned long kLocalFileSystems[] = {
    0xEF53,     // ext2, ext3, ext4
    0x58465342, // xfs
    0x9123683E, // btrfs
    0x01021994, // tmpfs
    0xF2F52010, // f2fs
    0x794C7630, // overlayfs
    0x2FC12FC1, // zfs
    0x52654973, // reiserfs
    0x3153464A, // jfs
    0x4D44,     // vfat
    0x5346544E, // ntfs3
};

enum class FolderKind { Missing, Local, Other };

FolderKind folderKind(const std::string &folder)
{
    struct statfs fs;
    if (::statfs(folder.c_str(), &fs) != 0)
        return FolderKind::Missing;
    for (unsigned long type : kLocalFileSystems)
        if (static_cast<unsigned long>(fs.f_type) == type)
            return FolderKind::Local;
    return FolderKind::Other;
}

bool isSymbolicLink(const std::string &path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

constexpr std::uint32_t kFolderEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM |
                                        IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_DELETE_SELF |
                                        IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW;

class InotifyWatch : public FileChangeWatch
{
public:
    explicit InotifyWatch(const std::string &path)
    {
        const std::size_t slash = path.find_last_of('/');
        m_folder = slash == std::string::npos ? std::string(".")
                                              : (slash == 0 ? std::string("/") : path.substr(0, slash));
        m_name = slash == std::string::npos ? path : path.substr(slash + 1);
        arm();
    }
    ~InotifyWatch() override { disarm(); }

    FileChange poll() override
    {
        if (m_unwatchable)
            return FileChange::Possible;
        if (m_fd < 0) {
            // Not in place (the folder was missing, or the watch was lost): set it up
            // again; what happened meanwhile is unknown.
            arm();
            return FileChange::Possible;
        }
        bool changed = false;
        bool lost = false;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                if (n < 0 && errno != EAGAIN)
                    lost = true;
                break;
            }
            for (ssize_t at = 0; at < n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                at += ssize_t(sizeof(inotify_event) + event->len);
                if (event->mask & (IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF |
                                   IN_UNMOUNT))
                    lost = true;
                else if (event->len > 0 && m_name == event->name)
                    changed = true;
            }
        }
        if (lost) {
            disarm();
            arm();
            return FileChange::Possible;
        }
        if (changed && isSymbolicLink(m_folder + '/' + m_name)) {
            m_unwatchable = true;
            disarm();
        }
        return changed ? FileChange::Possible : FileChange::None;
    }

private:
    void arm()
    {
        if (isSymbolicLink(m_folder) || isSymbolicLink(m_folder + '/' + m_name)) {
            m_unwatchable = true;
            return;
        }
        switch (folderKind(m_folder)) {
        case FolderKind::Missing:
            return; // tried again at the next poll
        case FolderKind::Other:
            m_unwatchable = true;
            return;
        case FolderKind::Local:
            break;
        }
        m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd < 0)
            return;
        if (::inotify_add_watch(m_fd, m_folder.c_str(), kFolderEvents) < 0)
            disarm();
    }
    void disarm()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    std::string m_folder;
    std::string m_name;
    int m_fd = -1;
    bool m_unwatchable = false;
};

} // namespace

std::unique_ptr<FileChangeWatch> watchFileChanges(const std::string &path)
{
    return std::make_unique<InotifyWatch>(path);
}

} // namespace platform
