// The Windows shell: opening programs, documents and special folders, the
// registry values the actions look up, and the desktop toggle.
#pragma once

#include <memory>
#include <string>

namespace platform {

enum class RegistryRoot { CurrentUser, ClassesRoot };

class Shell
{
public:
    virtual ~Shell() = default;

    // ShellExecuteW(no window, "open", file, no parameters, no directory, showCmd)
    // with `file` converted from UTF-8 to UTF-16. The result is not reported
    // (fire and forget). Main thread.
    virtual void open(const std::string &file, int showCmd) = 0;

    // Opens a shell special folder (CSIDL) maximised: SHGetSpecialFolderLocation,
    // ShellExecuteExW with SEE_MASK_IDLIST and "open", the ID list freed through
    // the shell allocator. Fire and forget. Main thread.
    virtual void openSpecialFolder(int csidl) = 0;

    // RegGetValueW(root, subKey, valueName or the default value when empty,
    // RRF_RT_REG_SZ) into a 522-byte buffer. Returns false when the key or value is
    // missing, not a string, or longer than the buffer; `out` is UTF-8. Any thread.
    virtual bool readRegistryString(RegistryRoot root, const std::string &subKey,
                                    const std::string &valueName, std::string &out) = 0;

    // IShellDispatch4::ToggleDesktop through the shell automation object, with COM
    // initialised around the call (Linux: _NET_SHOWING_DESKTOP; on wlroots
    // compositors every window minimised, and restored at the next call). Fire
    // and forget. Main thread.
    virtual void toggleDesktop() = 0;
};

std::unique_ptr<Shell> createShell();

} // namespace platform
