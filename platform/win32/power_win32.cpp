// Log off, shut down and restart: the version check, the shutdown privilege and
// ExitWindowsEx.
#include "power.h"

#include <windows.h>

namespace platform {
namespace {

class Win32Power : public Power
{
public:
    bool osVersion(OsVersion &out) override
    {
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info; // 276 bytes
        if (!GetVersionExW(&info))
            return false;
        out.major = info.dwMajorVersion;
        out.minor = info.dwMinorVersion;
        out.build = info.dwBuildNumber;
        out.platformId = info.dwPlatformId;
        return true;
    }

    bool enableShutdownPrivilege() override
    {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
            return false;
        TOKEN_PRIVILEGES privileges{};
        bool enabled = false;
        if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege",
                                  &privileges.Privileges[0].Luid)) {
            privileges.PrivilegeCount = 1;
            privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            // Succeeds with ERROR_NOT_ALL_ASSIGNED when the token lacks the privilege.
            enabled = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                      GetLastError() == ERROR_SUCCESS;
        }
        CloseHandle(token);
        return enabled;
    }

    bool exitWindows(std::uint32_t flags, std::uint32_t reason) override
    {
        return ExitWindowsEx(flags, reason) != FALSE;
    }
};

} // namespace

std::unique_ptr<Power> createPower()
{
    return std::make_unique<Win32Power>();
}

} // namespace platform
