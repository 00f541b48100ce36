// WM_DEVICECHANGE sent through the agent window's real procedure reaches the handler decoded.
#include "message_window.h"
#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <cstddef>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Event, device type (0: no broadcast), name, whether decoded, the name read (null: the
// name as UTF-8), and the characters dbcc_size states (0: the name and its terminator).
using BroadcastCase = std::tuple<WPARAM, DWORD, std::wstring, bool, const char *, std::size_t>;
class DeviceBroadcast : public ::testing::TestWithParam<BroadcastCase>
{
};

TEST_P(DeviceBroadcast, IsDecodedWithinItsStatedSize)
{
    const auto &[event, type, name, decoded, expected, statedChars] = GetParam();
    auto window = platform::createMessageWindow();
    ASSERT_TRUE(window->create("VelkoOptionsBroadcastTest"));
    std::vector<platform::WindowMessage> received;
    window->setMessageHandler([&](const platform::WindowMessage &m) {
        if (m.message == WM_DEVICECHANGE)
            received.push_back(m);
    });
    const std::size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    std::vector<wchar_t> data(offset / sizeof(wchar_t) + name.size() + 1);
    std::copy(name.begin(), name.end(), data.begin() + offset / sizeof(wchar_t));
    auto *di = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(data.data());
    di->dbcc_size = DWORD(offset + (statedChars ? statedChars : name.size() + 1) * sizeof(wchar_t));
    di->dbcc_devicetype = type;
    SendMessageW(FindWindowW(nullptr, L"VelkoOptionsBroadcastTest"), WM_DEVICECHANGE, event,
                 type ? reinterpret_cast<LPARAM>(data.data()) : 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0].wParam == event && received[0].hasBroadcast == decoded);
    EXPECT_EQ(received[0].deviceType, decoded ? type : 0u);
    EXPECT_EQ(received[0].interfaceName, expected ? expected : testsupport::narrow(name));
}

const DWORD kInterface = DBT_DEVTYP_DEVICEINTERFACE;

INSTANTIATE_TEST_SUITE_P(
    Win32, DeviceBroadcast,
    ::testing::Values(
        // Some drivers report the identifiers in lower case; the name stays as sent.
        BroadcastCase{
            DBT_DEVICEREMOVECOMPLETE, kInterface,
            L"\\\\?\\usb#vid_2f6b&pid_1813#5&1a2b3c&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
            true, nullptr, 0},
        BroadcastCase{DBT_DEVICEARRIVAL, kInterface, L"#\u00e9\u4e2d", true,
                      "#\xc3\xa9\xe4\xb8\xad", 0},
        BroadcastCase{DBT_DEVICEARRIVAL, kInterface, L"ABCDEFGH", true, "ABCD", 4}, // unterminated
        // A volume's bytes after the header would read as text if the type were ignored.
        BroadcastCase{DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, L"VID_2F6B", true, "", 0},
        // Not one of the two notifications the agent reads, with and without a broadcast.
        BroadcastCase{DBT_DEVICEQUERYREMOVE, kInterface, L"USB#x", false, "", 0},
        BroadcastCase{DBT_DEVNODES_CHANGED, 0, L"", false, "", 0}));

} // namespace
