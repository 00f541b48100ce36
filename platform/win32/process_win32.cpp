#include "process.h"
#include "win32_util.h"

#include <tlhelp32.h>

#include <vector>

namespace platform {

std::string executableFileName(const std::string &program)
{
    return program + ".exe";
}

namespace {

bool sameNameIgnoringCase(const wchar_t *a, const std::wstring &b)
{
    return CompareStringOrdinal(a, -1, b.c_str(), int(b.size()), TRUE) == CSTR_EQUAL;
}

class Win32ProcessTable : public ProcessTable
{
public:
    bool isRunning(const std::string &fileName) override
    {
        const std::wstring wanted = win32::widen(fileName);
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return false;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        bool found = false;
        if (Process32FirstW(snapshot, &entry)) {
            do {
                if (sameNameIgnoringCase(entry.szExeFile, wanted)) {
                    found = true;
                    break;
                }
            } while (Process32NextW(snapshot, &entry));
        }
        CloseHandle(snapshot);
        return found;
    }

    bool forceKill(const std::string &fileName) override
    {
        std::wstring command = L"taskkill /im " + win32::widen(fileName) + L" /f";
        std::vector<wchar_t> line(command.begin(), command.end());
        line.push_back(L'\0');
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                            nullptr, nullptr, &startup, &info))
            return false;
        CloseHandle(info.hThread);
        DWORD exitCode = 1;
        const bool finished = WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0;
        if (finished)
            GetExitCodeProcess(info.hProcess, &exitCode);
        CloseHandle(info.hProcess);
        return finished && exitCode == 0;
    }
};

} // namespace

std::unique_ptr<ProcessTable> createProcessTable()
{
    return std::make_unique<Win32ProcessTable>();
}

} // namespace platform
