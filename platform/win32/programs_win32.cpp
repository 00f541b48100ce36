// The programs behind top-level windows: a window's program is the file name of
// its process's image; the open programs are the windows a task bar would show,
// named by the image's FileDescription, with the window's or the image's icon.
#include "programs.h"
#include "detail/icon_scale.h"
#include "win32_util.h"

#include <shellapi.h>

#include <algorithm>

namespace platform {
namespace {

constexpr UINT kIconTimeoutMs = 100; // per WM_GETICON: a busy program gives no icon
constexpr DWORD kDwmwaCloaked = 14;  // DWMWA_CLOAKED, Windows 8 and later

HWND toHwnd(WindowId id)
{
    return reinterpret_cast<HWND>(id);
}

// The full path of a process's image; empty when the process is gone or the
// system refuses (another user's or a protected process).
std::wstring imagePath(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return {};
    std::wstring path(32768, L'\0'); // the longest path the system knows
    DWORD size = DWORD(path.size());
    const bool ok = QueryFullProcessImageNameW(process, 0, &path[0], &size);
    CloseHandle(process);
    path.resize(ok ? size : 0);
    return path;
}

std::wstring fileNameOf(const std::wstring &path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

DWORD processOf(HWND window)
{
    DWORD pid = 0;
    return window && GetWindowThreadProcessId(window, &pid) ? pid : 0;
}

std::wstring hex4(unsigned value)
{
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text(4, L'0');
    for (int i = 3; i >= 0; --i, value >>= 4)
        text[std::size_t(i)] = kDigits[value & 0xf];
    return text;
}

// The image's version resource FileDescription, in the first language it lists
// (US English, Unicode when it lists none that has one); empty without one.
std::string fileDescription(const std::wstring &path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (!size)
        return {};
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        return {};
    std::vector<std::wstring> blocks;
    struct Translation
    {
        WORD language;
        WORD codePage;
    };
    Translation *translations = nullptr;
    UINT bytes = 0;
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                       reinterpret_cast<void **>(&translations), &bytes))
        for (UINT i = 0; translations && i < bytes / sizeof(Translation); ++i)
            blocks.push_back(hex4(translations[i].language) + hex4(translations[i].codePage));
    blocks.push_back(L"040904B0");
    for (const std::wstring &block : blocks) {
        wchar_t *value = nullptr;
        UINT chars = 0;
        const std::wstring key = L"\\StringFileInfo\\" + block + L"\\FileDescription";
        if (VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void **>(&value), &chars) &&
            value && chars) {
            const std::string text = win32::narrow(value, int(wcsnlen(value, chars)));
            if (!text.empty())
                return text;
        }
    }
    return {};
}

// 32-bit top-down pixels of a bitmap, as 0xAARRGGBB; empty on failure.
std::vector<std::uint32_t> bitmapPixels(HDC dc, HBITMAP bitmap, int width, int height)
{
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (GetDIBits(dc, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS) != height)
        pixels.clear();
    return pixels;
}

// An icon's pixels; an icon without alpha takes it from its mask (a black mask
// pixel is opaque). A monochrome icon's mask holds its AND half above its XOR half.
ProgramIcon iconPixels(HICON handle)
{
    ProgramIcon icon;
    ICONINFO info{};
    if (!handle || !GetIconInfo(handle, &info))
        return icon;
    BITMAP bm{};
    int width = 0, height = 0;
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof bm, &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight;
    } else if (info.hbmMask && GetObjectW(info.hbmMask, sizeof bm, &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight / 2;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc && width > 0 && height > 0 && width <= 1024 && height <= 1024) {
        std::vector<std::uint32_t> mask;
        std::vector<std::uint32_t> colour;
        if (info.hbmColor) {
            colour = bitmapPixels(dc, info.hbmColor, width, height);
            if (info.hbmMask)
                mask = bitmapPixels(dc, info.hbmMask, width, height);
        } else {
            mask = bitmapPixels(dc, info.hbmMask, width, height * 2);
            if (!mask.empty())
                colour.assign(mask.begin() + std::ptrdiff_t(mask.size() / 2), mask.end());
        }
        const bool hasAlpha = std::any_of(colour.begin(), colour.end(),
                                          [](std::uint32_t p) { return (p >> 24) != 0; });
        if (!hasAlpha) {
            const bool masked = mask.size() >= colour.size();
            for (std::size_t i = 0; i < colour.size(); ++i)
                colour[i] = masked && (mask[i] & 0xffffff) ? 0 : (colour[i] | 0xff000000u);
        }
        if (!colour.empty()) {
            icon.width = width;
            icon.height = height;
            icon.argb = std::move(colour);
        }
    }
    if (dc)
        DeleteDC(dc);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return icon;
}

// The window's icon (it stays the window's: not destroyed here), the small one
// first when that is enough.
HICON windowIcon(HWND window, int size)
{
    const bool small = size <= GetSystemMetrics(SM_CXSMICON);
    const WPARAM kinds[] = {small ? WPARAM(ICON_SMALL2) : WPARAM(ICON_BIG),
                            small ? WPARAM(ICON_BIG) : WPARAM(ICON_SMALL2)};
    for (const WPARAM kind : kinds) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(window, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                kIconTimeoutMs, &result) &&
            result)
            return reinterpret_cast<HICON>(result);
    }
    const int classKinds[] = {small ? GCLP_HICONSM : GCLP_HICON, small ? GCLP_HICON : GCLP_HICONSM};
    for (const int kind : classKinds)
        if (const ULONG_PTR icon = GetClassLongPtrW(window, kind))
            return reinterpret_cast<HICON>(icon);
    return nullptr;
}

// The first icon in the image file, the size nearer to `size`.
ProgramIcon imageIcon(const std::wstring &path, int size)
{
    HICON large = nullptr, small = nullptr;
    if (path.empty() || ExtractIconExW(path.c_str(), 0, &large, &small, 1) == 0)
        return {};
    const bool preferSmall = size <= GetSystemMetrics(SM_CXSMICON);
    ProgramIcon icon = iconPixels(preferSmall && small ? small : large ? large : small);
    if (large)
        DestroyIcon(large);
    if (small)
        DestroyIcon(small);
    return icon;
}

bool cloaked(HWND window)
{
    // dwmapi is loaded only where it exists and knows the attribute.
    using GetAttribute = HRESULT(WINAPI *)(HWND, DWORD, PVOID, DWORD);
    static const GetAttribute get = [] {
        HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
        return dwm ? reinterpret_cast<GetAttribute>(
                         reinterpret_cast<void *>(GetProcAddress(dwm, "DwmGetWindowAttribute")))
                   : nullptr;
    }();
    DWORD value = 0;
    return get && SUCCEEDED(get(window, kDwmwaCloaked, &value, sizeof value)) && value;
}

// Whether a task bar would show the window: visible, top-level without an owner,
// not a tool window, not hidden by the window manager, with a title.
bool switchable(HWND window)
{
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return false;
    if (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
        return false;
    wchar_t title[2] = {};
    return GetWindowTextW(window, title, 2) > 0 && !cloaked(window);
}

class Win32ProgramDirectory : public ProgramDirectory
{
public:
    WindowId foregroundWindow() override
    {
        return reinterpret_cast<WindowId>(GetForegroundWindow());
    }

    std::string programOf(WindowId window) override
    {
        const HWND hwnd = toHwnd(window);
        if (!hwnd || !IsWindow(hwnd))
            return {};
        const DWORD pid = processOf(hwnd);
        return pid ? win32::narrow(fileNameOf(imagePath(pid)).c_str()) : std::string();
    }

    std::vector<OpenProgram> openPrograms(int iconSize) override
    {
        std::vector<HWND> windows; // front to back
        EnumWindows(
            [](HWND window, LPARAM list) -> BOOL {
                reinterpret_cast<std::vector<HWND> *>(list)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&windows));
        const DWORD ownPid = GetCurrentProcessId();
        std::vector<OpenProgram> programs;
        std::vector<std::wstring> seen;
        for (const HWND window : windows) {
            const DWORD pid = processOf(window);
            if (!pid || pid == ownPid || !switchable(window))
                continue;
            const std::wstring path = imagePath(pid);
            const std::wstring name = fileNameOf(path);
            if (name.empty())
                continue;
            const bool known = std::any_of(seen.begin(), seen.end(), [&](const std::wstring &s) {
                return CompareStringOrdinal(s.c_str(), int(s.size()), name.c_str(),
                                            int(name.size()), TRUE) == CSTR_EQUAL;
            });
            if (known)
                continue;
            seen.push_back(name);
            OpenProgram program;
            program.program = win32::narrow(name.c_str());
            program.displayName = fileDescription(path);
            program.icon = iconPixels(windowIcon(window, iconSize));
            if (program.icon.empty())
                program.icon = imageIcon(path, iconSize);
            program.icon = detail::scaledDown(std::move(program.icon), iconSize);
            programs.push_back(std::move(program));
        }
        return programs;
    }
};

} // namespace

std::unique_ptr<ProgramDirectory> createProgramDirectory()
{
    return std::make_unique<Win32ProgramDirectory>();
}

} // namespace platform
