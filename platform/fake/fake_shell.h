// A recording shell with an in-memory registry.
#pragma once

#include "shell.h"

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace platform::fake {

class FakeShell : public Shell
{
public:
    void open(const std::string &file, int showCmd) override;
    void openSpecialFolder(int csidl) override;
    // Answers from the values set with setRegistryString: the sub-key and value
    // name must match exactly (an empty value name is the key's default value);
    // a value of more than 260 UTF-16 characters does not fit the buffer.
    bool readRegistryString(RegistryRoot root, const std::string &subKey,
                            const std::string &valueName, std::string &out) override;
    void toggleDesktop() override { ++m_desktopToggles; }

    void setRegistryString(RegistryRoot root, const std::string &subKey,
                           const std::string &valueName, const std::string &value);

    struct Open
    {
        std::string file;
        int showCmd;
        bool operator==(const Open &o) const { return file == o.file && showCmd == o.showCmd; }
    };
    const std::vector<Open> &opened() const { return m_opened; }
    const std::vector<int> &specialFolders() const { return m_specialFolders; }
    int desktopToggles() const { return m_desktopToggles; }
    // Every registry read in call order, as "HKCU\sub\key|value" / "HKCR\...|".
    const std::vector<std::string> &registryReads() const { return m_reads; }

private:
    using Key = std::tuple<RegistryRoot, std::string, std::string>;
    std::map<Key, std::string> m_registry;
    std::vector<Open> m_opened;
    std::vector<int> m_specialFolders;
    std::vector<std::string> m_reads;
    int m_desktopToggles = 0;
};

} // namespace platform::fake
