// Helpers shared by the Windows backend's tests.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <functional>
#include <string>

namespace testsupport {

inline std::string narrow(const std::wstring &wide)
{
    std::string out(wide.size() * 3, '\0');
    out.resize(std::size_t(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &out[0],
                                               int(out.size()), nullptr, nullptr)));
    return out;
}

inline std::wstring selfPath()
{
    wchar_t path[1024] = {};
    return std::wstring(path, GetModuleFileNameW(nullptr, path, 1024));
}

inline void pump()
{
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
        TranslateMessage(&msg), DispatchMessageW(&msg);
}

// Pumps this thread's messages until `done` or the time-out; whether `done` came.
inline bool pumpUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    for (const DWORD deadline = GetTickCount() + timeoutMs; !done(); pump())
        if (LONG(deadline - GetTickCount()) <= 0 ||
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT) == WAIT_FAILED)
            return false;
    return true;
}

// COM is as a new thread finds it: a fresh CoInitialize answers S_OK, not S_FALSE.
inline bool comUninitialised()
{
    const HRESULT init = CoInitialize(nullptr);
    return SUCCEEDED(init) && (CoUninitialize(), init == S_OK);
}

} // namespace testsupport
