// The program directory against a window of a second Windows process: the test
// program beside this suite, with its own icon and version resource.
#include "programs.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using platform::WindowId;

WindowId id(HWND window)
{
    return reinterpret_cast<WindowId>(window);
}

std::wstring besideSelf(const wchar_t *name)
{
    const std::wstring self = testsupport::selfPath();
    return self.substr(0, self.find_last_of(L"\\/") + 1) + name;
}

// The test program runs once for the suite (each start under Wine costs seconds);
// this process shows a titled window of its own beside it.
class ProgramDirectoryTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        std::wstring command = L"\"" + besideSelf(L"velko-test-program.exe") + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return;
        CloseHandle(process.hThread);
        testsupport::pumpUntil(
            [] {
                helper = FindWindowW(L"VelkoTestProgramWindow", nullptr);
                return helper && IsWindowVisible(helper);
            },
            15000);
        own =
            CreateWindowExW(0, L"STATIC", L"Velko own window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                            50, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        testsupport::pump();
    }
    static void TearDownTestSuite()
    {
        // The test program is ended at once: under Wine it takes seconds to leave
        // after WM_CLOSE. Our own window stays until this process ends: under
        // Wine without a window manager, hiding it waits 2 s for its state.
        if (process.hProcess) {
            TerminateProcess(process.hProcess, 0);
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
        }
    }
    void SetUp() override { ASSERT_TRUE(process.hProcess && helper && own); }

    std::unique_ptr<platform::ProgramDirectory> programs = platform::createProgramDirectory();
    static inline PROCESS_INFORMATION process{};
    static inline HWND helper = nullptr;
    static inline HWND own = nullptr;
};

TEST_F(ProgramDirectoryTest, NamesTheProgramInFront)
{
    // Asked again while waiting: on a busy machine Wine may refuse the first
    // request while another of its windows is still being activated.
    ASSERT_TRUE(testsupport::pumpUntil(
        [&] {
            SetForegroundWindow(helper);
            return GetForegroundWindow() == helper;
        },
        5000));
    EXPECT_EQ(programs->foregroundWindow(), id(helper));
    EXPECT_EQ(programs->programOf(programs->foregroundWindow()), "velko-test-program.exe");
    const std::wstring self = testsupport::selfPath();
    EXPECT_EQ(programs->programOf(id(own)),
              testsupport::narrow(self.substr(self.find_last_of(L"\\/") + 1)));
    EXPECT_EQ(programs->programOf(0), "");
}

TEST_F(ProgramDirectoryTest, ListsOtherProgramsWithDescriptionAndIcon)
{
    const std::vector<platform::OpenProgram> open = programs->openPrograms(24);
    const auto helperEntry = std::find_if(open.begin(), open.end(), [](const auto &p) {
        return p.program == "velko-test-program.exe";
    });
    ASSERT_NE(helperEntry, open.end());
    EXPECT_EQ(helperEntry->displayName, "Velko Testprogramm");
    const platform::ProgramIcon &icon = helperEntry->icon;
    ASSERT_FALSE(icon.empty());
    EXPECT_TRUE(icon.width <= 24 && icon.height <= 24 && icon.width >= 16)
        << icon.width << "x" << icon.height;
    ASSERT_EQ(icon.argb.size(), std::size_t(icon.width) * std::size_t(icon.height));
    // The window's icon, or under Wine the file's (no alpha: taken from its mask),
    // both with a transparent band at the top.
    EXPECT_EQ(icon.argb[icon.argb.size() / 2 + std::size_t(icon.width / 2)], 0xff2080c0u);
    EXPECT_EQ(icon.argb.front() >> 24, 0u);
    // This process has a titled window too, but is never offered.
    const std::string self = platform::createProgramDirectory()->programOf(id(own));
    ASSERT_FALSE(self.empty());
    for (const auto &p : open)
        EXPECT_NE(p.program, self);
}

} // namespace
