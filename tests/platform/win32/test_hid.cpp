// The Win32 HID backend without the receiver: enumeration finds none, and a path that
// does not open gives a handle on which every operation fails cleanly.
#include "hid.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(Win32Hid, EnumerationWithoutReceiverIsRepeatable)
{
    auto hid = platform::createHidSystem();
    const auto paths = hid->interfacePaths();
    ASSERT_TRUE(paths.has_value());
    EXPECT_EQ(hid->interfacePaths(), paths);
    for (const std::string &path : *paths) {
        std::string lower = path;
        CharLowerA(&lower[0]);
        EXPECT_EQ(lower.find("vid_2f6b"), std::string::npos) << path;
        platform::HidAttributes a; // every interface answers this without access rights
        EXPECT_FALSE(hid->open(path, platform::HidAccess::Query)->attributes(a) &&
                     a.vendorId == 0x2F6B);
    }
}

TEST(Win32Hid, AMissingPathFailsEveryOperation)
{
    auto handle = platform::createHidSystem()->open(
        "\\\\?\\hid#vid_2f6b&pid_1812&mi_02#7&0&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
        platform::HidAccess::ReadWrite);
    ASSERT_TRUE(handle);
    platform::HidAttributes a;
    platform::HidCaps caps;
    std::vector<platform::HidValueCaps> values;
    EXPECT_FALSE(handle->isValid() || handle->attributes(a) || handle->outputValueCaps(10, values));
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(handle->caps(caps), platform::HidCapsResult::NoPreparsedData);
    std::uint8_t report[32] = {0xBA, 0xA7};
    std::uint32_t writeError = 0, readError = 0;
    EXPECT_FALSE(handle->setOutputReport(report, sizeof(report), writeError) ||
                 handle->getInputReport(report, sizeof(report), readError));
    EXPECT_TRUE(writeError != 0 && readError != 0 && report[0] == 0xBA && report[1] == 0xA7);
}

} // namespace
