// The Win32 shell service against the real registry and ShellExecute.
#include "shell.h"
#include "win32_test_support.h"

#include "../../../agent/actions/defaultbrowser.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using namespace testsupport;

// A copy of this program whose name holds the tag leaves a marker beside itself and exits.
const wchar_t kProbeTag[] = L"velko-open-probe";
const bool g_isProbe = [] {
    const std::wstring self = selfPath();
    if (self.find(kProbeTag) == std::wstring::npos)
        return false;
    CloseHandle(CreateFileW((self + L".started").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    ExitProcess(0);
    return true;
}();

const wchar_t kTestRoot[] = L"Software\\VelkoOptionsTest",
              kTestKey[] = L"Software\\VelkoOptionsTest\\Shell";
const char kKey[] = "Software\\VelkoOptionsTest\\Shell";

bool setString(HKEY root, const wchar_t *key, const wchar_t *name, const std::wstring &text)
{
    return RegSetKeyValueW(root, key, name, REG_SZ, text.c_str(),
                           DWORD((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Key, value and what is read; nothing is when that is empty.
using RegistryCase = std::tuple<const char *, const char *, std::wstring>;
class RegistryStrings : public ::testing::TestWithParam<RegistryCase>
{
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }
};

TEST_P(RegistryStrings, AreReadWithinTheBuffer)
{
    ASSERT_TRUE(setString(HKEY_CURRENT_USER, kTestKey, nullptr, L"C:\\Bröwser\\браузер.exe"));
    setString(HKEY_CURRENT_USER, kTestKey, L"Longest", std::wstring(260, L'x'));
    setString(HKEY_CURRENT_USER, kTestKey, L"TooLong", std::wstring(261, L'y'));
    const DWORD number = 42;
    RegSetKeyValueW(HKEY_CURRENT_USER, kTestKey, L"Number", REG_DWORD, &number, sizeof number);
    const auto &[key, value, text] = GetParam();
    std::string out;
    EXPECT_EQ(platform::createShell()->readRegistryString(platform::RegistryRoot::CurrentUser, key,
                                                          value, out),
              !text.empty());
    if (!text.empty()) {
        EXPECT_EQ(out, narrow(text));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Win32, RegistryStrings,
    ::testing::Values(RegistryCase{kKey, "", L"C:\\Bröwser\\браузер.exe"},
                      RegistryCase{kKey, "Longest", std::wstring(260, L'x')},
                      RegistryCase{kKey, "TooLong", L""}, RegistryCase{kKey, "Number", L""},
                      RegistryCase{"Software\\VelkoOptionsTest\\None", "", L""}));

// What a browser writes when made the default; the command goes to the machine's classes
// too, the only ones Wine merges into HKEY_CLASSES_ROOT. The user's choice is put back.
const wchar_t kChoice[] =
    L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\Ftp\\UserChoice";
const wchar_t kChoiceBackup[] = L"Software\\VelkoOptionsTest\\UserChoice";
const wchar_t kProgIdTree[] = L"Software\\Classes\\VelkoTestBrowserURL";
const wchar_t kCommand[] = L"Software\\Classes\\VelkoTestBrowserURL\\shell\\open\\command";

bool copyUserKey(const wchar_t *from, const wchar_t *to)
{
    HKEY source = nullptr, target = nullptr;
    const bool copied =
        RegOpenKeyExW(HKEY_CURRENT_USER, from, 0, KEY_READ, &source) == ERROR_SUCCESS &&
        RegCreateKeyExW(HKEY_CURRENT_USER, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                        nullptr) == ERROR_SUCCESS &&
        RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
    RegCloseKey(source);
    RegCloseKey(target);
    return copied;
}

TEST(DefaultBrowser, NamesTheProgramOfTheUsersChoice)
{
    const bool saved = copyUserKey(kChoice, kChoiceBackup);
    RegDeleteTreeW(HKEY_CURRENT_USER, kChoice);
    const std::wstring command = L"\"C:\\Program Files\\Браузер\\b.exe\" --single-argument \"%1\"";
    EXPECT_TRUE(setString(HKEY_CURRENT_USER, kChoice, L"Progid", L"VelkoTestBrowserURL"));
    EXPECT_TRUE(setString(HKEY_CURRENT_USER, kCommand, nullptr, command));
    setString(HKEY_LOCAL_MACHINE, kCommand, nullptr, command);
    auto shell = platform::createShell();
    EXPECT_EQ(defaultbrowser::program(*shell), "C:\\Program Files\\Браузер\\b.exe");
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgIdTree);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProgIdTree);
    EXPECT_EQ(defaultbrowser::program(*shell), "iexplore.exe");
    RegDeleteTreeW(HKEY_CURRENT_USER, kChoice);
    if (saved)
        copyUserKey(kChoiceBackup, kChoice);
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
}

TEST(ShellOpen, TogglesTheDesktopLeavingComAsFoundAndStartsANonAsciiName)
{
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring copy = std::wstring(temp) + kProbeTag + L"-Ünïcødé-браузер-€.exe";
    const std::wstring marker = copy + L".started";
    DeleteFileW(marker.c_str());
    ASSERT_TRUE(CopyFileW(selfPath().c_str(), copy.c_str(), FALSE));
    auto shell = platform::createShell();
    shell->toggleDesktop();
    shell->toggleDesktop(); // back where the desktop was
    EXPECT_TRUE(comUninitialised());
    shell->open(narrow(copy), SW_SHOWNORMAL);
    EXPECT_TRUE(pumpUntil(
        [&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000));
    pumpUntil([&] { return DeleteFileW(copy.c_str()) != FALSE; }, 5000); // the probe may be ending
    DeleteFileW(marker.c_str());
}

} // namespace
