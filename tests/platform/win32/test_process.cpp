// The Win32 process table: the snapshot finds processes by executable name in
// any letter case, and the forced kill ends a running copy of this test program.
#include "process.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

std::wstring ownPath()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, n);
}

std::string narrowAscii(const std::wstring &text)
{
    return std::string(text.begin(), text.end());
}

std::string ownName()
{
    const std::wstring path = ownPath();
    return narrowAscii(path.substr(path.find_last_of(L"\\/") + 1));
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

TEST(Win32ProcessTable, ExecutableFileNameAddsExe)
{
    EXPECT_EQ(platform::executableFileName("VelkoOptions"), "VelkoOptions.exe");
}

TEST(Win32ProcessTable, SnapshotFindsThisProgramInAnyLetterCase)
{
    auto table = platform::createProcessTable();
    const std::string own = ownName();
    ASSERT_FALSE(own.empty());
    EXPECT_TRUE(table->isRunning(own));
    EXPECT_TRUE(table->isRunning(upper(own)));
    EXPECT_FALSE(table->isRunning("x" + own));
    EXPECT_FALSE(table->isRunning("NoSuchVelkoProgram.exe"));
}

// Run only as the target of the kill test, which starts a copy of this program
// with this test selected.
TEST(ProcessTarget, DISABLED_SleepUntilKilled)
{
    Sleep(60000);
}

TEST(Win32ProcessTable, ForceKillEndsTheProgram)
{
    auto table = platform::createProcessTable();
    const std::wstring own = ownPath();
    const std::wstring copy = own.substr(0, own.find_last_of(L"\\/") + 1) + L"VelkoKillTarget.exe";
    ASSERT_TRUE(CopyFileW(own.c_str(), copy.c_str(), FALSE));
    std::wstring command = L"\"" + copy +
                           L"\" --gtest_filter=ProcessTarget.DISABLED_SleepUntilKilled "
                           L"--gtest_also_run_disabled_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &info));
    CloseHandle(info.hThread);

    bool seen = false;
    for (int i = 0; i < 500 && !seen; ++i) {
        seen = table->isRunning("velkokilltarget.exe");
        if (!seen)
            Sleep(10);
    }
    EXPECT_TRUE(seen);
    EXPECT_TRUE(table->forceKill("VELKOKILLTARGET.EXE"));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    EXPECT_NE(code, DWORD(STILL_ACTIVE));
    if (code == STILL_ACTIVE)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    EXPECT_FALSE(table->isRunning("VelkoKillTarget.exe"));
    EXPECT_FALSE(table->forceKill("VelkoKillTarget.exe"));
    DeleteFileW(copy.c_str());
}

} // namespace
