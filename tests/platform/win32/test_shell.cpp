// The Win32 shell service against the real registry and ShellExecute: strings
// within the 260-character buffer, the default-browser lookup through the keys a
// browser writes, a program with a non-ASCII name, and COM left as found.
#include "shell.h"
#include "win32_test_support.h"

#include "../../../agent/actions/defaultbrowser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace testsupport;
using platform::RegistryRoot;

// A copy of this program whose name holds the tag leaves a marker beside itself
// (so only where it was started from) and exits.
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

const wchar_t kTestRoot[] = L"Software\\VelkoOptionsTest";
const wchar_t kTestKey[] = L"Software\\VelkoOptionsTest\\Shell";
const char kKey[] = "Software\\VelkoOptionsTest\\Shell";

bool setString(HKEY root, const wchar_t *key, const wchar_t *name, const std::wstring &text)
{
    return RegSetKeyValueW(root, key, name, REG_SZ, text.c_str(),
                           DWORD((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

struct RegistryCase
{
    const char *name;
    const char *subKey;
    const char *value;
    std::wstring text; // what is read; empty: nothing is
};

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

    const RegistryCase &c = GetParam();
    std::string out;
    EXPECT_EQ(platform::createShell()->readRegistryString(RegistryRoot::CurrentUser, c.subKey,
                                                          c.value, out),
              !c.text.empty());
    if (!c.text.empty()) {
        EXPECT_EQ(out, narrow(c.text));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Win32, RegistryStrings,
    ::testing::Values(RegistryCase{"UnicodeDefaultValue", kKey, "", L"C:\\Bröwser\\браузер.exe"},
                      RegistryCase{"FillsTheBuffer", kKey, "Longest", std::wstring(260, L'x')},
                      RegistryCase{"LongerThanTheBuffer", kKey, "TooLong", L""},
                      RegistryCase{"NotAString", kKey, "Number", L""},
                      RegistryCase{"MissingKey", "Software\\VelkoOptionsTest\\None", "", L""}),
    [](const auto &info) { return std::string(info.param.name); });

// The keys a browser writes when made the default: its ProgID for ftp: under the
// user's UrlAssociations, its open command under the user's classes, which Windows
// merges into HKEY_CLASSES_ROOT (Wine's shows only the machine's, so the command
// goes there too where allowed). The user's own choice is put back.
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

void removeCommand()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgIdTree);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProgIdTree);
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
    removeCommand();
    EXPECT_EQ(defaultbrowser::program(*shell), "iexplore.exe");

    RegDeleteTreeW(HKEY_CURRENT_USER, kChoice);
    if (saved)
        copyUserKey(kChoiceBackup, kChoice);
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
}

TEST(ShellOpen, StartsAProgramWithANonAsciiName)
{
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring copy = std::wstring(temp) + kProbeTag + L"-Ünïcødé-браузер-€.exe";
    const std::wstring marker = copy + L".started";
    DeleteFileW(marker.c_str());
    ASSERT_TRUE(CopyFileW(selfPath().c_str(), copy.c_str(), FALSE));

    platform::createShell()->open(narrow(copy), SW_SHOWNORMAL);

    EXPECT_TRUE(pumpUntil(
        [&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000));
    pumpUntil([&] { return DeleteFileW(copy.c_str()) != FALSE; }, 5000); // the probe may be ending
    DeleteFileW(marker.c_str());
}

TEST(ShellDesktopToggle, LeavesComAsItWasFound)
{
    auto shell = platform::createShell();
    shell->toggleDesktop();
    shell->toggleDesktop(); // back where the desktop was
    EXPECT_TRUE(comUninitialised());
}

} // namespace
