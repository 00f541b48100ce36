// Device-interface broadcasts as the agent's window receives them: a
// DEV_BROADCAST_DEVICEINTERFACE_W sent with WM_DEVICECHANGE through the real window
// procedure reaches the message handler decoded.
#include "message_window.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace {

const GUID kUsbDeviceInterface = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

// A broadcast as the system builds it: header, class GUID, then the name with
// its terminator; dbch_size counts all of it.
std::vector<unsigned char> broadcast(DWORD deviceType, const std::wstring &name)
{
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    const size_t size = nameOffset + (name.size() + 1) * sizeof(wchar_t);
    std::vector<unsigned char> buffer(std::max(size, sizeof(DEV_BROADCAST_DEVICEINTERFACE_W)));
    auto *di = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(buffer.data());
    di->dbcc_size = DWORD(size);
    di->dbcc_devicetype = deviceType;
    di->dbcc_reserved = 0;
    di->dbcc_classguid = kUsbDeviceInterface;
    std::memcpy(buffer.data() + nameOffset, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    return buffer;
}

class DeviceBroadcast : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = platform::createMessageWindow();
        ASSERT_TRUE(window->create("VelkoOptionsBroadcastTest"));
        window->setMessageHandler([this](const platform::WindowMessage &m) {
            if (m.message == WM_DEVICECHANGE)
                received.push_back(m);
        });
        hwnd = FindWindowW(nullptr, L"VelkoOptionsBroadcastTest");
        ASSERT_NE(hwnd, nullptr);
    }

    std::unique_ptr<platform::MessageWindow> window;
    std::vector<platform::WindowMessage> received;
    HWND hwnd = nullptr;
};

struct NameCase
{
    const wchar_t *name;
    const char *decoded;
};

class DeviceBroadcastNames : public DeviceBroadcast, public ::testing::WithParamInterface<NameCase>
{
};

TEST_P(DeviceBroadcastNames, ArrivalCarriesTheInterfaceNameUnchanged)
{
    auto data = broadcast(DBT_DEVTYP_DEVICEINTERFACE, GetParam().name);
    SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(data.data()));
    ASSERT_EQ(received.size(), 1u);
    const platform::WindowMessage &m = received.front();
    EXPECT_EQ(m.wParam, platform::kDbtDeviceArrival);
    EXPECT_TRUE(m.hasBroadcast);
    EXPECT_EQ(m.deviceType, platform::kDbtDevtypDeviceInterface);
    EXPECT_EQ(m.interfaceName, GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DeviceBroadcastNames,
    ::testing::Values(
        NameCase{L"\\\\?\\USB#VID_2F6B&PID_1812#0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
                 "\\\\?\\USB#VID_2F6B&PID_1812#0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"},
        // Some drivers report the identifiers in lower case; the name stays as sent.
        NameCase{
            L"\\\\?\\usb#vid_2f6b&pid_1813#5&1a2b3c&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
            "\\\\?\\usb#vid_2f6b&pid_1813#5&1a2b3c&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"},
        NameCase{L"", ""},
        // Non-ASCII text arrives as UTF-8.
        NameCase{L"\\\\?\\USB#VID_046D&PID_C52B#\u00e9\u4e2d",
                 "\\\\?\\USB#VID_046D&PID_C52B#\xc3\xa9\xe4\xb8\xad"}));

TEST_F(DeviceBroadcast, RemovalIsDecodedLikeArrival)
{
    auto data = broadcast(DBT_DEVTYP_DEVICEINTERFACE, L"\\\\?\\USB#VID_2F6B&PID_1813#x");
    SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                 reinterpret_cast<LPARAM>(data.data()));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received.front().wParam, platform::kDbtDeviceRemoveComplete);
    EXPECT_TRUE(received.front().hasBroadcast);
    EXPECT_EQ(received.front().interfaceName, "\\\\?\\USB#VID_2F6B&PID_1813#x");
}

TEST_F(DeviceBroadcast, OtherDeviceTypesCarryNoName)
{
    // A volume broadcast (DBT_DEVTYP_VOLUME, 2) whose bytes after the header would
    // read as text if the type were ignored.
    auto data = broadcast(DBT_DEVTYP_VOLUME, L"VID_2F6B&PID_1812");
    SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(data.data()));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received.front().hasBroadcast);
    EXPECT_EQ(received.front().deviceType, 2u);
    EXPECT_TRUE(received.front().interfaceName.empty());
}

TEST_F(DeviceBroadcast, OtherNotificationsAreNotDecoded)
{
    auto data = broadcast(DBT_DEVTYP_DEVICEINTERFACE, L"\\\\?\\USB#VID_2F6B&PID_1812#x");
    // DBT_DEVNODES_CHANGED (7) carries no broadcast; DBT_DEVICEQUERYREMOVE (0x8001)
    // does, but is not one of the two the agent reads.
    SendMessageW(hwnd, WM_DEVICECHANGE, 0x0007, 0);
    SendMessageW(hwnd, WM_DEVICECHANGE, 0x8001, reinterpret_cast<LPARAM>(data.data()));
    ASSERT_EQ(received.size(), 2u);
    for (const platform::WindowMessage &m : received) {
        EXPECT_FALSE(m.hasBroadcast);
        EXPECT_TRUE(m.interfaceName.empty());
    }
    EXPECT_EQ(received[0].wParam, 0x0007u);
    EXPECT_EQ(received[1].wParam, 0x8001u);
}

TEST_F(DeviceBroadcast, NameWithoutTerminatorStopsAtTheStatedSize)
{
    auto data = broadcast(DBT_DEVTYP_DEVICEINTERFACE, L"ABCDEFGH");
    auto *di = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(data.data());
    // The size claims only four characters and no terminator.
    di->dbcc_size =
        DWORD(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + 4 * sizeof(wchar_t));
    SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(data.data()));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received.front().interfaceName, "ABCD");
}

} // namespace
