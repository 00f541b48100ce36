// Small helpers shared by the Win32 backend.
#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

std::wstring widen(const std::string &utf8);
std::string narrow(const wchar_t *wide, int length = -1);

} // namespace platform::win32
