// The user's settings folder on Windows: the roaming application data folder.
#include "user_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(UserFolders, SettingsLiveInTheRoamingApplicationData)
{
    const char *appData = std::getenv("APPDATA");
    ASSERT_NE(appData, nullptr);
    EXPECT_EQ(platform::userSettingsFolder(), std::string(appData) + "\\Velko Options");
}
