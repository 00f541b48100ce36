// Single-instance lock: one holder per user session and lock name.
#pragma once

#include <memory>
#include <string>

namespace platform {

enum class LockResult {
    Acquired,    // this process now holds the lock until the object is destroyed
    AlreadyHeld, // another running process holds it
    Failed       // the system refused to create the lock object
};

class InstanceLock
{
public:
    virtual ~InstanceLock() = default;

    // Takes the lock called `name` (ASCII). On Windows this is a named kernel mutex,
    // created without security attributes and not initially owned; AlreadyHeld is
    // ERROR_ALREADY_EXISTS, after which the duplicate handle has been closed again.
    // The lock dies with its process, also when the process is killed.
    // May be called once per object, from any thread (normally the main thread).
    virtual LockResult acquire(const std::string &name) = 0;
};

// The backend chosen by the build.
std::unique_ptr<InstanceLock> createInstanceLock();

} // namespace platform
