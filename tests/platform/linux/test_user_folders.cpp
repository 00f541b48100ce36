// The user's settings folder on Linux: $XDG_CONFIG_HOME, else ~/.config.
#include "user_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Row
{
    const char *xdg; // nullptr: unset
    const char *home;
    std::string expected;
};

} // namespace

TEST(UserFolders, SettingsLiveInTheXdgConfigurationFolder)
{
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char *savedXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string xdgCopy = savedXdg ? savedXdg : "";
    const Row rows[] = {
        {"/cfg/", "/home/ann", "/cfg/velko-options"},
        {nullptr, "/home/ann", "/home/ann/.config/velko-options"},
        {"relative", "/home/ann", "/home/ann/.config/velko-options"}, // not absolute: ignored
        {nullptr, "", ""},                                             // no home at all
    };
    for (const Row &row : rows) {
        if (row.xdg)
            ::setenv("XDG_CONFIG_HOME", row.xdg, 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        ::setenv("HOME", row.home, 1);
        EXPECT_EQ(platform::userSettingsFolder(), row.expected) << (row.xdg ? row.xdg : "unset");
    }
    ::setenv("HOME", savedHome.c_str(), 1);
    if (savedXdg)
        ::setenv("XDG_CONFIG_HOME", xdgCopy.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}
