// The Win32 shell service against the real registry and ShellExecute (under Wine
// in CI): registry strings of every shape, the default-browser lookup through the
// keys the shell writes, Unicode file names, and COM left as it was found.
#include "shell.h"

#include "../../../agent/actions/defaultbrowser.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <string>
#include <vector>

namespace {

using platform::RegistryRoot;

// A copy of this executable whose name contains the probe tag only writes the
// path it was started from beside itself and exits: the open test starts such a
// copy with a non-ASCII name through ShellExecute.
const wchar_t kProbeTag[] = L"velko-open-probe";
const wchar_t kProbeMarkerSuffix[] = L".started";

const bool g_isProbe = [] {
    wchar_t path[1024] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, 1024);
    const std::wstring self(path, n);
    if (self.find(kProbeTag) == std::wstring::npos)
        return false;
    const HANDLE marker = CreateFileW((self + kProbeMarkerSuffix).c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(marker, self.data(), DWORD(self.size() * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(marker);
    }
    ExitProcess(0);
    return true;
}();

std::wstring widen(const std::string &utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring &wide)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// A registry key (under HKEY_CURRENT_USER unless told) that the test creates and
// removes again.
class ScopedKey
{
public:
    explicit ScopedKey(const std::string &path, HKEY root = HKEY_CURRENT_USER)
        : m_root(root), m_path(widen(path))
    {
        if (RegCreateKeyExW(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                            nullptr) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~ScopedKey()
    {
        if (!m_key)
            return;
        RegCloseKey(m_key);
        RegDeleteTreeW(m_root, m_path.c_str());
    }
    bool valid() const { return m_key != nullptr; }
    void setString(const std::string &name, const std::wstring &value)
    {
        const std::wstring wname = widen(name);
        RegSetValueExW(m_key, name.empty() ? nullptr : wname.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE *>(value.c_str()),
                       DWORD((value.size() + 1) * sizeof(wchar_t)));
    }
    void setDword(const std::string &name, DWORD value)
    {
        RegSetValueExW(m_key, widen(name).c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE *>(&value), sizeof value);
    }

private:
    HKEY m_root;
    std::wstring m_path;
    HKEY m_key = nullptr;
};

const char kTestKey[] = "Software\\VelkoOptionsTest\\Shell";

struct RegistryCase
{
    const char *name;
    std::string valueName; // what the test reads
    bool expectFound;
    std::wstring expectText; // when found
};

class RegistryStrings : public ::testing::TestWithParam<RegistryCase>
{
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VelkoOptionsTest"); }
};

TEST_P(RegistryStrings, ReadWithinTheBuffer)
{
    ScopedKey key(kTestKey);
    ASSERT_TRUE(key.valid());
    key.setString("", L"default text");
    key.setString("Plain", L"chrome.exe");
    key.setString("Unicode", L"C:\\Programme\\Bröwser\\браузер.exe");
    key.setString("Longest", std::wstring(260, L'x'));
    key.setString("TooLong", std::wstring(261, L'y'));
    key.setDword("Number", 42);

    const RegistryCase &c = GetParam();
    auto shell = platform::createShell();
    std::string out = "untouched";
    EXPECT_EQ(shell->readRegistryString(RegistryRoot::CurrentUser, kTestKey, c.valueName, out),
              c.expectFound);
    if (c.expectFound) {
        EXPECT_EQ(out, narrow(c.expectText));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Win32, RegistryStrings,
    ::testing::Values(RegistryCase{"DefaultValue", "", true, L"default text"},
                      RegistryCase{"Named", "Plain", true, L"chrome.exe"},
                      RegistryCase{"UnicodeComesBackAsUtf8", "Unicode", true,
                                   L"C:\\Programme\\Bröwser\\браузер.exe"},
                      RegistryCase{"FillsTheBuffer", "Longest", true, std::wstring(260, L'x')},
                      RegistryCase{"LongerThanTheBuffer", "TooLong", false, L""},
                      RegistryCase{"NotAString", "Number", false, L""},
                      RegistryCase{"MissingValue", "Absent", false, L""}),
    [](const ::testing::TestParamInfo<RegistryCase> &info) {
        return std::string(info.param.name);
    });

TEST(RegistryStrings, MissingKeyIsNotFound)
{
    auto shell = platform::createShell();
    std::string out;
    EXPECT_FALSE(shell->readRegistryString(RegistryRoot::CurrentUser,
                                           "Software\\VelkoOptionsTest\\NoSuchKey", "", out));
}

const char kUserChoice[] =
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\Ftp\\UserChoice";
const char kProgId[] = "VelkoTestBrowserURL";
const char kCommandKey[] = "Software\\Classes\\VelkoTestBrowserURL\\shell\\open\\command";

// The values of a key as they were, put back when the test ends.
class KeyBackup
{
public:
    explicit KeyBackup(const std::string &path) : m_path(widen(path))
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return;
        m_existed = true;
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameChars = 256;
            BYTE data[2048];
            DWORD size = sizeof data;
            DWORD type = 0;
            if (RegEnumValueW(key, i, name, &nameChars, nullptr, &type, data, &size) !=
                ERROR_SUCCESS)
                break;
            m_values.push_back(
                {std::wstring(name, nameChars), type, std::vector<BYTE>(data, data + size)});
        }
        RegCloseKey(key);
    }
    ~KeyBackup()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
        if (!m_existed)
            return;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        for (const Value &v : m_values)
            RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.data(), DWORD(v.data.size()));
        RegCloseKey(key);
    }

private:
    struct Value
    {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::wstring m_path;
    bool m_existed = false;
    std::vector<Value> m_values;
};

// The browser lookup with the keys a browser writes when it becomes the default:
// its ProgID for ftp: under the user's UrlAssociations, and its open command under
// the user's classes, which Windows shows merged into HKEY_CLASSES_ROOT. Wine's
// HKEY_CLASSES_ROOT shows only the machine's classes, so the command goes there
// too where the test may write it.
class DefaultBrowser : public ::testing::Test
{
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, widen(kUserChoice).c_str()); }
    void TearDown() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProgIdTree);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProgIdTree);
    }
    static constexpr const wchar_t *kProgIdTree = L"Software\\Classes\\VelkoTestBrowserURL";

    KeyBackup m_choiceBackup{kUserChoice};
};

struct BrowserCase
{
    const char *name;
    bool writeChoice;
    bool writeCommand;
    std::wstring command;
    std::string expected;
};

class DefaultBrowserCases : public DefaultBrowser, public ::testing::WithParamInterface<BrowserCase>
{
};

TEST_P(DefaultBrowserCases, NamesTheProgram)
{
    const BrowserCase &c = GetParam();
    std::unique_ptr<ScopedKey> choice;
    std::unique_ptr<ScopedKey> command;
    std::unique_ptr<ScopedKey> machineCommand;
    if (c.writeChoice) {
        choice = std::make_unique<ScopedKey>(kUserChoice);
        ASSERT_TRUE(choice->valid());
        choice->setString("Progid", widen(kProgId));
    }
    if (c.writeCommand) {
        command = std::make_unique<ScopedKey>(kCommandKey);
        ASSERT_TRUE(command->valid());
        command->setString("", c.command);
        machineCommand = std::make_unique<ScopedKey>(kCommandKey, HKEY_LOCAL_MACHINE);
        if (machineCommand->valid())
            machineCommand->setString("", c.command);
    }
    auto shell = platform::createShell();
    EXPECT_EQ(defaultbrowser::program(*shell), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Win32, DefaultBrowserCases,
    ::testing::Values(BrowserCase{"NoUserChoice", false, false, L"", "iexplore.exe"},
                      BrowserCase{"ChoiceWithoutCommand", true, false, L"", "iexplore.exe"},
                      BrowserCase{
                          "QuotedProgramWithArguments", true, true,
                          L"\"C:\\Program Files\\Velko Browser\\browser.exe\" --single-argument %1",
                          "C:\\Program Files\\Velko Browser\\browser.exe"},
                      BrowserCase{"UnquotedCommand", true, true, L"C:\\Browsers\\plain.exe",
                                  "C:\\Browsers\\plain.exe"},
                      BrowserCase{"UnicodeProgram", true, true, L"\"C:\\Браузер\\b.exe\" \"%1\"",
                                  "C:\\Браузер\\b.exe"}),
    [](const ::testing::TestParamInfo<BrowserCase> &info) { return std::string(info.param.name); });

// A program whose path is not ASCII starts from the UTF-8 text it is given.
TEST(ShellOpen, StartsAProgramWithANonAsciiName)
{
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    wchar_t self[1024] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, 1024), 0u);
    const std::wstring copy = std::wstring(temp) + kProbeTag + L"-Ünïcødé-браузер-€.exe";
    const std::wstring marker = copy + kProbeMarkerSuffix;
    DeleteFileW(marker.c_str());
    ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));

    platform::createShell()->open(narrow(copy), SW_SHOWNORMAL);

    // The probe runs on its own; wait for its marker, generously.
    std::wstring started;
    for (int i = 0; i < 600 && started.empty(); ++i) {
        const HANDLE file = CreateFileW(marker.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            wchar_t buffer[1024] = {};
            DWORD read = 0;
            ReadFile(file, buffer, sizeof buffer - sizeof(wchar_t), &read, nullptr);
            CloseHandle(file);
            started.assign(buffer, read / sizeof(wchar_t));
        }
        if (started.empty())
            Sleep(100);
    }
    EXPECT_EQ(narrow(started), narrow(copy));

    for (int i = 0; i < 50 && !DeleteFileW(copy.c_str()); ++i)
        Sleep(100); // the probe may still be ending
    DeleteFileW(marker.c_str());
}

// COM must be left uninitialised on this thread, as it was found: then a fresh
// CoInitialize answers S_OK rather than S_FALSE.
TEST(ShellDesktopToggle, LeavesComAsItWasFound)
{
    auto shell = platform::createShell();
    shell->toggleDesktop();
    shell->toggleDesktop(); // back to where the desktop was
    const HRESULT init = CoInitialize(nullptr);
    EXPECT_EQ(init, S_OK);
    if (SUCCEEDED(init))
        CoUninitialize();
}

} // namespace
