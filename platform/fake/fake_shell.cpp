#include "fake_shell.h"

namespace platform::fake {
namespace {

// UTF-16 code units of a UTF-8 text.
std::size_t utf16Length(const std::string &utf8)
{
    std::size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) == 0x80)
            continue; // continuation byte
        units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

} // namespace

void FakeShell::open(const std::string &file, int showCmd)
{
    m_opened.push_back({file, showCmd});
}

void FakeShell::openSpecialFolder(int csidl)
{
    m_specialFolders.push_back(csidl);
}

bool FakeShell::readRegistryString(RegistryRoot root, const std::string &subKey,
                                   const std::string &valueName, std::string &out)
{
    m_reads.push_back((root == RegistryRoot::CurrentUser ? "HKCU\\" : "HKCR\\") + subKey + "|" +
                      valueName);
    const auto it = m_registry.find(Key{root, subKey, valueName});
    // Like the real call into 522 bytes: 260 characters and the terminator.
    if (it == m_registry.end() || utf16Length(it->second) > 260)
        return false;
    out = it->second;
    return true;
}

void FakeShell::setRegistryString(RegistryRoot root, const std::string &subKey,
                                  const std::string &valueName, const std::string &value)
{
    m_registry[Key{root, subKey, valueName}] = value;
}

} // namespace platform::fake
