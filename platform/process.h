// Other programs' processes: finding them by executable name and ending them.
#pragma once

#include <memory>
#include <string>

namespace platform {

// The file name of a program's executable on this system: "VelkoOptions" is
// "VelkoOptions.exe" on Windows and stays "VelkoOptions" elsewhere. Any thread.
std::string executableFileName(const std::string &program);

class ProcessTable
{
public:
    virtual ~ProcessTable() = default;

    // True when a live process runs whose executable file name (no folder) equals
    // `fileName` (UTF-8), ignoring letter case. Windows: a snapshot of all processes
    // (CreateToolhelp32Snapshot with TH32CS_SNAPPROCESS) walked with Process32FirstW
    // and Process32NextW up to the first match; the snapshot is closed in both
    // outcomes. Linux: /proc, this user's processes only (each user's agent is
    // their own); processes that have exited but were not yet reaped do not count.
    // False as well when the table cannot be read. Any thread.
    virtual bool isRunning(const std::string &fileName) = 0;

    // Ends every process with this executable file name at once, without asking it
    // to close. Windows: runs "taskkill /im <fileName> /f" without a window and
    // waits for the command, at most 30 s. Linux: SIGKILL to each of this user's
    // matches. Returns
    // true when at least one process was ended (taskkill's exit code 0); false when
    // none ran or the command could not be run. Blocks the caller; any thread.
    virtual bool forceKill(const std::string &fileName) = 0;
};

std::unique_ptr<ProcessTable> createProcessTable();

} // namespace platform
