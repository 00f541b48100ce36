// The recording fakes that the action tests read: the event descriptions they
// compare against, and the registry's exact-key lookup and buffer limit.
#include "fake_input.h"
#include "fake_shell.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using namespace platform::fake;

TEST(FakeInput, DescribesEventsInCallOrder)
{
    FakeInputInjector input;
    input.keyEvent(0x11, kKeyDown);
    input.keyEvent(0xB3, kKeyExtendedUp);
    input.mouseEvent(kMouseWheel, -120);
    input.mouseEvent(kMouseXDown, 2);
    input.pause(50);
    const std::vector<std::string> expected{"key 0x11 0", "key 0xB3 3", "mouse 0x800 -120",
                                            "mouse 0x80 2", "pause 50"};
    EXPECT_EQ(input.describedEvents(), expected);
    EXPECT_EQ(input.events()[2], InputEvent::mouse(kMouseWheel, -120));
    EXPECT_NE(input.events()[2], InputEvent::mouse(kMouseWheel, 120));
    input.clear();
    EXPECT_TRUE(input.events().empty());
}

struct RegistryCase
{
    const char *name;
    RegistryRoot root;
    std::string subKey;
    std::string valueName;
    bool found;
};

class FakeRegistry : public ::testing::TestWithParam<RegistryCase>
{
};

TEST_P(FakeRegistry, AnswersExactKeysOnly)
{
    FakeShell shell;
    shell.setRegistryString(RegistryRoot::CurrentUser, "A\\B\\", "Progid", "X");
    shell.setRegistryString(RegistryRoot::ClassesRoot, "X\\cmd\\", "", "run.exe");
    shell.setRegistryString(RegistryRoot::ClassesRoot, "Wide\\", "", std::string(260, 'w'));
    shell.setRegistryString(RegistryRoot::ClassesRoot, "Wider\\", "", std::string(261, 'w'));
    // 130 two-byte characters are 130 UTF-16 units; 131 four-byte ones are 262.
    std::string cyrillic;
    for (int i = 0; i < 130; ++i)
        cyrillic += "ж";
    shell.setRegistryString(RegistryRoot::ClassesRoot, "Cyrillic\\", "", cyrillic);
    std::string emoji;
    for (int i = 0; i < 131; ++i)
        emoji += "\xF0\x9F\x98\x80";
    shell.setRegistryString(RegistryRoot::ClassesRoot, "Emoji\\", "", emoji);

    const RegistryCase &c = GetParam();
    std::string out;
    EXPECT_EQ(shell.readRegistryString(c.root, c.subKey, c.valueName, out), c.found);
    ASSERT_EQ(shell.registryReads().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Fake, FakeRegistry,
    ::testing::Values(
        RegistryCase{"Exact", RegistryRoot::CurrentUser, "A\\B\\", "Progid", true},
        RegistryCase{"OtherRoot", RegistryRoot::ClassesRoot, "A\\B\\", "Progid", false},
        RegistryCase{"OtherValue", RegistryRoot::CurrentUser, "A\\B\\", "ProgId2", false},
        RegistryCase{"DefaultValue", RegistryRoot::ClassesRoot, "X\\cmd\\", "", true},
        RegistryCase{"FillsBuffer", RegistryRoot::ClassesRoot, "Wide\\", "", true},
        RegistryCase{"OverBuffer", RegistryRoot::ClassesRoot, "Wider\\", "", false},
        RegistryCase{"TwoByteChars", RegistryRoot::ClassesRoot, "Cyrillic\\", "", true},
        RegistryCase{"SurrogatePairs", RegistryRoot::ClassesRoot, "Emoji\\", "", false}),
    [](const ::testing::TestParamInfo<RegistryCase> &info) {
        return std::string(info.param.name);
    });

} // namespace
