// The Win32 HID backend on a system without the receiver (Wine): enumeration
// works and finds no receiver, and a path that does not open gives a handle on
// which every operation fails cleanly.
#include "hid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

TEST(Win32Hid, EnumerationWithoutReceiver)
{
    auto hid = platform::createHidSystem();
    const auto paths = hid->interfacePaths();
    ASSERT_TRUE(paths.has_value());
    for (const std::string &path : *paths) {
        EXPECT_FALSE(path.empty());
        EXPECT_EQ(lower(path).find("vid_2f6b"), std::string::npos) << path;
        // Every listed interface can be asked for its attributes without rights.
        auto handle = hid->open(path, platform::HidAccess::Query);
        platform::HidAttributes a;
        if (handle->isValid() && handle->attributes(a)) {
            EXPECT_NE(a.vendorId, 0x2F6B);
        }
    }
}

TEST(Win32Hid, EnumerationIsRepeatable)
{
    auto hid = platform::createHidSystem();
    const auto first = hid->interfacePaths();
    const auto second = hid->interfacePaths();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, *second);
}

class Win32HidMissingPath : public ::testing::TestWithParam<platform::HidAccess>
{
};

TEST_P(Win32HidMissingPath, EveryOperationFails)
{
    auto hid = platform::createHidSystem();
    auto handle = hid->open(
        "\\\\?\\hid#vid_2f6b&pid_1812&mi_02#7&0&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
        GetParam());
    ASSERT_TRUE(handle);
    EXPECT_FALSE(handle->isValid());

    platform::HidAttributes a;
    EXPECT_FALSE(handle->attributes(a));
    platform::HidCaps caps;
    EXPECT_EQ(handle->caps(caps), platform::HidCapsResult::NoPreparsedData);
    std::vector<platform::HidValueCaps> values;
    EXPECT_FALSE(handle->outputValueCaps(10, values));
    EXPECT_TRUE(values.empty());

    std::uint8_t report[32] = {0xBA, 0xA7};
    std::uint32_t error = 0;
    EXPECT_FALSE(handle->setOutputReport(report, sizeof(report), error));
    EXPECT_NE(error, 0u);
    error = 0;
    EXPECT_FALSE(handle->getInputReport(report, sizeof(report), error));
    EXPECT_NE(error, 0u);
    EXPECT_EQ(report[0], 0xBA);
    EXPECT_EQ(report[1], 0xA7);
}

INSTANTIATE_TEST_SUITE_P(BothAccessModes, Win32HidMissingPath,
                         ::testing::Values(platform::HidAccess::Query,
                                           platform::HidAccess::ReadWrite));

} // namespace
