#include "user_folders.h"

#include "win32_util.h"

#include <shlobj.h>

namespace platform {

std::string userSettingsFolder()
{
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path)) && path &&
        path[0])
        folder = win32::narrow(path) + "\\Velko Options";
    CoTaskMemFree(path);
    return folder;
}

} // namespace platform
