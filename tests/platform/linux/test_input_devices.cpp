// The key table and the uinput virtual device, checked against a recording of
// the ioctls and writes (the kernel here may have no uinput).
#include "keymap_linux.h"
#include "uinput_linux.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <linux/uinput.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <vector>

using platform::linuxport::findKey;

namespace {

struct KeyRow
{
    std::uint8_t vk;
    std::uint32_t keysym;
    std::uint16_t linuxKey;
};

// The keys the agent sends.
const KeyRow kKeyRows[] = {
    {0x11, XK_Control_L, KEY_LEFTCTRL},
    {0xA2, XK_Control_L, KEY_LEFTCTRL},
    {0xA4, XK_Alt_L, KEY_LEFTALT},
    {0xA0, XK_Shift_L, KEY_LEFTSHIFT},
    {0x09, XK_Tab, KEY_TAB},
    {0x5B, XK_Super_L, KEY_LEFTMETA},
    {0x41, XK_a, KEY_A},
    {0x43, XK_c, KEY_C},
    {0x4E, XK_n, KEY_N},
    {0x50, XK_p, KEY_P},
    {0x52, XK_r, KEY_R},
    {0x53, XK_s, KEY_S},
    {0x56, XK_v, KEY_V},
    {0x58, XK_x, KEY_X},
    {0x25, XK_Left, KEY_LEFT},
    {0x27, XK_Right, KEY_RIGHT},
    {0xBB, XK_equal, KEY_EQUAL},
    {0xBD, XK_minus, KEY_MINUS},
    {0xB0, XF86XK_AudioNext, KEY_NEXTSONG},
    {0xB1, XF86XK_AudioPrev, KEY_PREVIOUSSONG},
    {0xB2, XF86XK_AudioStop, KEY_STOPCD},
    {0xB3, XF86XK_AudioPlay, KEY_PLAYPAUSE},
    {0xAD, XF86XK_AudioMute, KEY_MUTE},
    {0xAE, XF86XK_AudioLowerVolume, KEY_VOLUMEDOWN},
    {0xAF, XF86XK_AudioRaiseVolume, KEY_VOLUMEUP},
};

TEST(KeyTable, MapsVirtualKeysToKeysymsAndKeyCodes)
{
    for (const KeyRow &row : kKeyRows) {
        const auto *key = findKey(row.vk);
        ASSERT_NE(key, nullptr) << std::hex << int(row.vk);
        EXPECT_EQ(key->keysym, row.keysym) << std::hex << int(row.vk);
        EXPECT_EQ(key->linuxKey, row.linuxKey) << std::hex << int(row.vk);
    }
    for (std::uint8_t unknown : {0x00, 0x01, 0x5F, 0xFF})
        EXPECT_EQ(findKey(unknown), nullptr) << std::hex << int(unknown);
    // Every letter maps to its own key.
    std::set<std::uint16_t> letters;
    for (int vk = 'A'; vk <= 'Z'; ++vk)
        letters.insert(findKey(std::uint8_t(vk))->linuxKey);
    EXPECT_EQ(letters.size(), 26u);
}

// Records the ioctls as (request, argument) and the written events; refuses the
// ioctl `failRequest` when set.
struct RecordingIo : platform::linuxport::UinputIo
{
    struct Log
    {
        std::vector<std::pair<unsigned long, unsigned long>> controls;
        uinput_setup setup{};
        std::vector<input_event> events;
    };
    RecordingIo(Log &log, unsigned long failRequest) : log(log), failRequest(failRequest) {}
    int control(unsigned long request, unsigned long argument) override
    {
        log.controls.emplace_back(request, argument);
        return request == failRequest ? -1 : 0;
    }
    int controlWith(unsigned long request, const void *data) override
    {
        log.controls.emplace_back(request, 0);
        std::memcpy(&log.setup, data, sizeof log.setup);
        return request == failRequest ? -1 : 0;
    }
    bool write(const void *data, std::size_t size) override
    {
        if (size != sizeof(input_event))
            return false;
        log.events.push_back(*static_cast<const input_event *>(data));
        return true;
    }
    Log &log;
    unsigned long failRequest;
};

bool declared(const RecordingIo::Log &log, unsigned long request, unsigned long argument)
{
    return std::count(log.controls.begin(), log.controls.end(), std::make_pair(request, argument));
}

using Events = std::vector<std::array<int, 3>>;
Events eventsOf(const RecordingIo::Log &log)
{
    Events events;
    for (const input_event &e : log.events)
        events.push_back({e.type, e.code, e.value});
    return events;
}

TEST(Uinput, DeclaresKeysButtonsAndWheelsThenStreamsEventsWithReports)
{
    RecordingIo::Log log;
    {
        auto device =
            platform::linuxport::UinputDevice::create(std::make_unique<RecordingIo>(log, 0));
        ASSERT_TRUE(device);
        for (auto bit : {KEY_LEFTCTRL, KEY_C, KEY_LEFTMETA, KEY_PLAYPAUSE, BTN_LEFT, BTN_EXTRA})
            EXPECT_TRUE(declared(log, UI_SET_KEYBIT, bit)) << bit;
        for (auto bit : {REL_WHEEL, REL_HWHEEL, REL_WHEEL_HI_RES, REL_HWHEEL_HI_RES})
            EXPECT_TRUE(declared(log, UI_SET_RELBIT, bit)) << bit;
        EXPECT_EQ(log.controls.back(), std::make_pair(0ul + UI_DEV_CREATE, 0ul));
        EXPECT_STREQ(log.setup.name, "Velko Options virtual input");
        EXPECT_EQ(log.setup.id.bustype, BUS_VIRTUAL);

        EXPECT_TRUE(device->key(KEY_C, true));
        EXPECT_TRUE(device->key(BTN_SIDE, false));
        EXPECT_TRUE(device->wheel(-1, true));
        EXPECT_TRUE(device->wheel(2, false));
        const Events expected = {
            {EV_KEY, KEY_C, 1},      {EV_SYN, SYN_REPORT, 0},  {EV_KEY, BTN_SIDE, 0},
            {EV_SYN, SYN_REPORT, 0}, {EV_REL, REL_HWHEEL, -1}, {EV_REL, REL_HWHEEL_HI_RES, -120},
            {EV_SYN, SYN_REPORT, 0}, {EV_REL, REL_WHEEL, 2},   {EV_REL, REL_WHEEL_HI_RES, 240},
            {EV_SYN, SYN_REPORT, 0},
        };
        EXPECT_EQ(eventsOf(log), expected);
    }
    EXPECT_EQ(log.controls.back(), std::make_pair(0ul + UI_DEV_DESTROY, 0ul));
}

TEST(Uinput, NoDeviceWhenTheKernelRefusesAStep)
{
    for (unsigned long refused :
         {0ul + UI_SET_EVBIT, 0ul + UI_SET_KEYBIT, 0ul + UI_DEV_SETUP, 0ul + UI_DEV_CREATE}) {
        RecordingIo::Log log;
        EXPECT_FALSE(
            platform::linuxport::UinputDevice::create(std::make_unique<RecordingIo>(log, refused)))
            << refused;
    }
    EXPECT_FALSE(platform::linuxport::UinputDevice::create(nullptr));
}

} // namespace
