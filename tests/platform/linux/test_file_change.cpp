// Change watches on Linux (inotify on the file's folder): what they report and
// where they give up and answer "may have changed" at every poll.
#include "file_change.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using platform::FileChange;

namespace {

class FileChangeWatch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velko-watch-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
        folder += "/system";
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        write("mouse.ini", "[SET]\nmouse=QX210\n");
    }
    void TearDown() override
    {
        std::system(("rm -rf '" + folder.substr(0, folder.rfind('/')) + "'").c_str());
    }
    void write(const std::string &name, const std::string &text)
    {
        std::ofstream(folder + "/" + name, std::ios::binary | std::ios::trunc) << text;
    }
    std::string file() const { return folder + "/mouse.ini"; }

    std::string folder;
};

TEST_F(FileChangeWatch, ReportsWritesAndReplacementsOfItsFileOnly)
{
    const auto watch = platform::watchFileChanges(file());
    EXPECT_EQ(watch->poll(), FileChange::None);
    write("QX210.ini", "[SET]\n");             // another file of the folder
    EXPECT_EQ(watch->poll(), FileChange::None);
    write("mouse.ini", "[SET]\nmouse=QX330\n"); // in place, same size
    EXPECT_EQ(watch->poll(), FileChange::Possible);
    EXPECT_EQ(watch->poll(), FileChange::None);
    write("mouse.ini.tmp", "[SET]\nmouse=PL40\n"); // replaced by rename, as the configurator does
    EXPECT_EQ(watch->poll(), FileChange::None);
    ASSERT_EQ(std::rename((folder + "/mouse.ini.tmp").c_str(), file().c_str()), 0);
    EXPECT_EQ(watch->poll(), FileChange::Possible);
    EXPECT_EQ(watch->poll(), FileChange::None);
}

TEST_F(FileChangeWatch, LostFolderIsWatchedAgainOnceItIsBack)
{
    const auto watch = platform::watchFileChanges(file());
    std::system(("rm -rf '" + folder + "'").c_str());
    EXPECT_EQ(watch->poll(), FileChange::Possible);
    EXPECT_EQ(watch->poll(), FileChange::Possible); // still missing
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    EXPECT_EQ(watch->poll(), FileChange::Possible); // watched again from here
    EXPECT_EQ(watch->poll(), FileChange::None);
    write("mouse.ini", "[SET]\n");
    EXPECT_EQ(watch->poll(), FileChange::Possible);
}

TEST_F(FileChangeWatch, SymbolicLinkIsNeverTrusted)
{
    write("real.ini", "[SET]\n");
    ::unlink(file().c_str());
    ASSERT_EQ(::symlink("real.ini", file().c_str()), 0);
    const auto watch = platform::watchFileChanges(file());
    EXPECT_EQ(watch->poll(), FileChange::Possible);
    EXPECT_EQ(watch->poll(), FileChange::Possible);
}

} // namespace
