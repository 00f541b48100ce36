// Device broadcasts as the agent's window receives them: WM_DEVICECHANGE sent
// through the real window procedure reaches the handler decoded.
#include "message_window.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

struct BroadcastCase
{
    WPARAM event;
    DWORD deviceType; // 0: no broadcast at all
    std::wstring name;
    bool decoded;
    const char *expected;        // null: the name as UTF-8
    std::size_t statedChars = 0; // in dbcc_size; 0: the name and its terminator
};

class DeviceBroadcast : public ::testing::TestWithParam<BroadcastCase>
{
};

TEST_P(DeviceBroadcast, IsDecodedWithinItsStatedSize)
{
    const BroadcastCase &c = GetParam();
    auto window = platform::createMessageWindow();
    ASSERT_TRUE(window->create("VelkoOptionsBroadcastTest"));
    std::vector<platform::WindowMessage> received;
    window->setMessageHandler([&](const platform::WindowMessage &m) {
        if (m.message == WM_DEVICECHANGE)
            received.push_back(m);
    });
    // As the system builds it: header, class GUID, then the name.
    const std::size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    std::vector<wchar_t> data(offset / sizeof(wchar_t) + c.name.size() + 1);
    std::copy(c.name.begin(), c.name.end(), data.begin() + offset / sizeof(wchar_t));
    auto *di = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(data.data());
    di->dbcc_size =
        DWORD(offset + (c.statedChars ? c.statedChars : c.name.size() + 1) * sizeof(wchar_t));
    di->dbcc_devicetype = c.deviceType;
    SendMessageW(FindWindowW(nullptr, L"VelkoOptionsBroadcastTest"), WM_DEVICECHANGE, c.event,
                 c.deviceType ? reinterpret_cast<LPARAM>(data.data()) : 0);

    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].wParam, c.event);
    EXPECT_EQ(received[0].hasBroadcast, c.decoded);
    EXPECT_EQ(received[0].deviceType, c.decoded ? c.deviceType : 0u);
    EXPECT_EQ(received[0].interfaceName, c.expected ? c.expected : testsupport::narrow(c.name));
}

const wchar_t kUpper[] =
    L"\\\\?\\USB#VID_2F6B&PID_1812#0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const wchar_t kLower[] =
    L"\\\\?\\usb#vid_2f6b&pid_1813#5&1a2b3c&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const DWORD kInterface = DBT_DEVTYP_DEVICEINTERFACE;

INSTANTIATE_TEST_SUITE_P(
    Win32, DeviceBroadcast,
    ::testing::Values(
        BroadcastCase{DBT_DEVICEARRIVAL, kInterface, kUpper, true, nullptr},
        // Some drivers report the identifiers in lower case; the name stays as sent.
        BroadcastCase{DBT_DEVICEREMOVECOMPLETE, kInterface, kLower, true, nullptr},
        BroadcastCase{DBT_DEVICEARRIVAL, kInterface, L"#\u00e9\u4e2d", true,
                      "#\xc3\xa9\xe4\xb8\xad"},
        BroadcastCase{DBT_DEVICEARRIVAL, kInterface, L"ABCDEFGH", true, "ABCD", 4}, // unterminated
        // A volume's bytes after the header would read as text if the type were ignored.
        BroadcastCase{DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, L"VID_2F6B", true, ""},
        // Not one of the two notifications the agent reads, with and without a broadcast.
        BroadcastCase{DBT_DEVICEQUERYREMOVE, kInterface, L"USB#x", false, ""},
        BroadcastCase{DBT_DEVNODES_CHANGED, 0, L"", false, ""}));

} // namespace
