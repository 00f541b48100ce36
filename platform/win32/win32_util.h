// Small helpers shared by the Win32 backend.
#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

std::wstring widen(const std::string &utf8);
std::string narrow(const wchar_t *wide, int length = -1);
// Registers a window class of this module with `procedure` (once: a class that
// already exists counts as registered). False when the system refuses.
bool registerWindowClass(const wchar_t *className, WNDPROC procedure);

} // namespace platform::win32
