// Change notification for one file, so that a reader that must see every
// completed write can skip re-reading a file that nobody has touched since.
//
// A watch answers "nothing happened" only when the system guarantees it: every
// write, replacement (rename over the file), creation or removal of the file that
// completed before poll() was called has been reported by then. Wherever that
// cannot be promised (no notification service, a network or user-space file
// system, a symbolic link, a lost watch, an overflowing event queue) the watch
// answers "may have changed", and the reader compares the file's bytes as before.
#pragma once

#include <memory>
#include <string>

namespace platform {

enum class FileChange {
    None,    // untouched since the watch was made or last polled
    Possible // may have changed: read the file
};

class FileChangeWatch
{
public:
    virtual ~FileChangeWatch() = default;

    // Whether the file may have changed since the watch was made or since the
    // previous poll. Never blocks; costs one non-blocking read where the system
    // notifies. The thread that made the watch only.
    virtual FileChange poll() = 0;
};

// Starts watching `path` (UTF-8, absolute). The watch is in place when this
// returns, so a read of the file that follows it misses nothing. Never null: where
// notification is not available for the file, the watch answers Possible at
// every poll (and on Linux tries again to set itself up at each poll while the
// file's folder is missing).
std::unique_ptr<FileChangeWatch> watchFileChanges(const std::string &path);

// A watch that answers Possible at every poll: the reader's byte compare alone.
class AlwaysPossibleWatch : public FileChangeWatch
{
public:
    FileChange poll() override { return FileChange::Possible; }
};

} // namespace platform
