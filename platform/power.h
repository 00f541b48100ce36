// Ending the user's session or the system: log off, shut down, restart.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

// ExitWindowsEx flags.
constexpr std::uint32_t kEwxLogOff = 0x00;
constexpr std::uint32_t kEwxShutdown = 0x01;
constexpr std::uint32_t kEwxReboot = 0x02;
constexpr std::uint32_t kEwxForce = 0x04;
constexpr std::uint32_t kEwxForceIfHung = 0x10;

constexpr std::uint32_t kVerPlatformWin32Nt = 2;

struct OsVersion
{
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platformId = 0;
};

class Power
{
public:
    virtual ~Power() = default;

    // GetVersionExW with a 276-byte OSVERSIONINFOW. False when the call fails.
    // Any thread.
    virtual bool osVersion(OsVersion &out) = 0;

    // Enables "SeShutdownPrivilege" (SE_PRIVILEGE_ENABLED) on the process token,
    // opened with TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY. Returns false when the
    // token cannot be opened, the privilege is unknown or not held. Any thread.
    virtual bool enableShutdownPrivilege() = 0;

    // ExitWindowsEx(flags, reason). Returns true when the request was accepted
    // (the session then ends asynchronously), false when refused. Main thread.
    virtual bool exitWindows(std::uint32_t flags, std::uint32_t reason) = 0;
};

std::unique_ptr<Power> createPower();

} // namespace platform
