// The Windows shell: ShellExecute, special folders by CSIDL, registry strings and
// the shell automation object's desktop toggle.
#include "shell.h"
#include "win32_util.h"

#include <objbase.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

namespace platform {
namespace {

// Shell automation object and its IShellDispatch4 interface.
const CLSID kClsidShell = {
    0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kIidShellDispatch4 = {
    0xEFD84B2D, 0x4BCF, 0x4298, {0xBE, 0x25, 0xEB, 0x54, 0x2A, 0x59, 0xFB, 0xDA}};

// Registry strings are read into 522 bytes: 260 characters and the terminator.
constexpr DWORD kRegistryBufferBytes = 522;

class Win32Shell : public Shell
{
public:
    void open(const std::string &file, int showCmd) override
    {
        const std::wstring wide = win32::widen(file);
        ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, showCmd);
    }

    void openSpecialFolder(int csidl) override
    {
        LPITEMIDLIST idList = nullptr;
        if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &idList)) || !idList)
            return;
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info; // 60 bytes in 32-bit builds
        info.fMask = SEE_MASK_IDLIST;
        info.lpVerb = L"open";
        info.nShow = SW_SHOWMAXIMIZED;
        info.lpIDList = idList;
        ShellExecuteExW(&info);
        IMalloc *malloc = nullptr;
        if (SUCCEEDED(SHGetMalloc(&malloc)) && malloc) {
            malloc->Free(idList);
            malloc->Release();
        }
    }

    bool readRegistryString(RegistryRoot root, const std::string &subKey,
                            const std::string &valueName, std::string &out) override
    {
        const HKEY rootKey =
            root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
        const std::wstring key = win32::widen(subKey);
        const std::wstring name = win32::widen(valueName);
        wchar_t buffer[kRegistryBufferBytes / sizeof(wchar_t)] = {};
        DWORD size = kRegistryBufferBytes;
        const LSTATUS status =
            RegGetValueW(rootKey, key.c_str(), valueName.empty() ? nullptr : name.c_str(),
                         RRF_RT_REG_SZ, nullptr, buffer, &size);
        if (status != ERROR_SUCCESS)
            return false;
        buffer[kRegistryBufferBytes / sizeof(wchar_t) - 1] = L'\0';
        out = win32::narrow(buffer);
        return true;
    }

    void toggleDesktop() override
    {
        const HRESULT init = CoInitialize(nullptr);
        IShellDispatch4 *shell = nullptr;
        if (SUCCEEDED(CoCreateInstance(kClsidShell, nullptr, CLSCTX_ALL, kIidShellDispatch4,
                                       reinterpret_cast<void **>(&shell))) &&
            shell) {
            shell->ToggleDesktop();
            shell->Release();
        }
        if (SUCCEEDED(init))
            CoUninitialize();
    }
};

} // namespace

std::unique_ptr<Shell> createShell()
{
    return std::make_unique<Win32Shell>();
}

} // namespace platform
