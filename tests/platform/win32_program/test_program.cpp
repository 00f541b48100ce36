// A program of its own for the program directory's tests under Wine: one ordinary
// window with an icon of a single colour, brought to the front, until it is
// closed (or a minute has passed, should the test not close it).
#include <windows.h>

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kLifetimeTimer)
        DestroyWindow(window);
    else if (message == WM_DESTROY)
        PostQuitMessage(0);
    else
        return DefWindowProcW(window, message, wParam, lParam);
    return 0;
}

// A 32 × 32 icon with alpha, every pixel opaque 0xFF2080C0 (the program's file
// carries another icon).
HICON solidIcon(HINSTANCE instance)
{
    static BYTE andMask[32 * 4] = {};
    static DWORD pixels[32 * 32];
    for (DWORD &pixel : pixels)
        pixel = 0xff2080c0;
    return CreateIcon(instance, 32, 32, 1, 32, andMask, reinterpret_cast<const BYTE *>(pixels));
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = solidIcon(instance);
    if (!wc.hIcon)
        return 1;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"VelkoTestProgramWindow";
    if (!RegisterClassExW(&wc))
        return 1;
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"Velko test program",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 320, 240, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 1;
    // As most programs do. (Wine answers neither WM_GETICON nor GetClassLongPtrW
    // for another process's window: there the file's own icon is offered.)
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(wc.hIcon));
    SetForegroundWindow(window);
    SetTimer(window, kLifetimeTimer, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
