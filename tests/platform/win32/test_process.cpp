// The Win32 process table: lookup by executable name in any letter case, and the forced kill.
#include "process.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Only the target of the kill test, which starts a copy of this program with it.
TEST(ProcessTarget, DISABLED_SleepUntilKilled)
{
    Sleep(60000);
}

TEST(Win32ProcessTable, FindsAndForceKillsACopyOfThisProgramInAnyLetterCase)
{
    EXPECT_EQ(platform::executableFileName("VelkoOptions"), "VelkoOptions.exe");
    const std::wstring own = testsupport::selfPath();
    const std::wstring copy = own.substr(0, own.find_last_of(L"\\/") + 1) + L"VelkoKillTarget.exe";
    ASSERT_TRUE(CopyFileW(own.c_str(), copy.c_str(), FALSE));
    std::wstring command = L"\"" + copy +
                           L"\" --gtest_filter=ProcessTarget.DISABLED_SleepUntilKilled "
                           L"--gtest_also_run_disabled_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &info));
    CloseHandle(info.hThread);
    auto table = platform::createProcessTable();
    EXPECT_TRUE(
        testsupport::pumpUntil([&] { return table->isRunning("velkokilltarget.exe"); }, 5000));
    EXPECT_FALSE(table->isRunning("elkoKillTarget.exe") ||
                 table->isRunning("xVelkoKillTarget.exe"));
    EXPECT_TRUE(table->forceKill("VELKOKILLTARGET.EXE"));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
    TerminateProcess(info.hProcess, 1); // in case the kill failed
    CloseHandle(info.hProcess);
    EXPECT_FALSE(table->isRunning("VelkoKillTarget.exe") ||
                 table->forceKill("VelkoKillTarget.exe"));
    DeleteFileW(copy.c_str());
}

} // namespace
