// The one table from Windows virtual keys to X keysyms and Linux key codes. The
// Windows key is Super; the media and volume keys are the XF86 audio keys; the
// OEM plus key is the "=" key, which browsers take as zoom in with Ctrl.
#include "keymap_linux.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <linux/input-event-codes.h>

#include <algorithm>
#include <iterator>

namespace platform::linuxport {
namespace {

constexpr KeyMapping kKeys[] = {
    {0x08, XK_BackSpace, KEY_BACKSPACE},
    {0x09, XK_Tab, KEY_TAB},
    {0x0D, XK_Return, KEY_ENTER},
    {0x10, XK_Shift_L, KEY_LEFTSHIFT},
    {0x11, XK_Control_L, KEY_LEFTCTRL},
    {0x12, XK_Alt_L, KEY_LEFTALT},
    {0x1B, XK_Escape, KEY_ESC},
    {0x20, XK_space, KEY_SPACE},
    {0x21, XK_Prior, KEY_PAGEUP},
    {0x22, XK_Next, KEY_PAGEDOWN},
    {0x23, XK_End, KEY_END},
    {0x24, XK_Home, KEY_HOME},
    {0x25, XK_Left, KEY_LEFT},
    {0x26, XK_Up, KEY_UP},
    {0x27, XK_Right, KEY_RIGHT},
    {0x28, XK_Down, KEY_DOWN},
    {0x2D, XK_Insert, KEY_INSERT},
    {0x2E, XK_Delete, KEY_DELETE},
    {0x30, XK_0, KEY_0},
    {0x31, XK_1, KEY_1},
    {0x32, XK_2, KEY_2},
    {0x33, XK_3, KEY_3},
    {0x34, XK_4, KEY_4},
    {0x35, XK_5, KEY_5},
    {0x36, XK_6, KEY_6},
    {0x37, XK_7, KEY_7},
    {0x38, XK_8, KEY_8},
    {0x39, XK_9, KEY_9},
    {0x41, XK_a, KEY_A},
    {0x42, XK_b, KEY_B},
    {0x43, XK_c, KEY_C},
    {0x44, XK_d, KEY_D},
    {0x45, XK_e, KEY_E},
    {0x46, XK_f, KEY_F},
    {0x47, XK_g, KEY_G},
    {0x48, XK_h, KEY_H},
    {0x49, XK_i, KEY_I},
    {0x4A, XK_j, KEY_J},
    {0x4B, XK_k, KEY_K},
    {0x4C, XK_l, KEY_L},
    {0x4D, XK_m, KEY_M},
    {0x4E, XK_n, KEY_N},
    {0x4F, XK_o, KEY_O},
    {0x50, XK_p, KEY_P},
    {0x51, XK_q, KEY_Q},
    {0x52, XK_r, KEY_R},
    {0x53, XK_s, KEY_S},
    {0x54, XK_t, KEY_T},
    {0x55, XK_u, KEY_U},
    {0x56, XK_v, KEY_V},
    {0x57, XK_w, KEY_W},
    {0x58, XK_x, KEY_X},
    {0x59, XK_y, KEY_Y},
    {0x5A, XK_z, KEY_Z},
    {0x5B, XK_Super_L, KEY_LEFTMETA},
    {0x5C, XK_Super_R, KEY_RIGHTMETA},
    {0x70, XK_F1, KEY_F1},
    {0x71, XK_F2, KEY_F2},
    {0x72, XK_F3, KEY_F3},
    {0x73, XK_F4, KEY_F4},
    {0x74, XK_F5, KEY_F5},
    {0x75, XK_F6, KEY_F6},
    {0x76, XK_F7, KEY_F7},
    {0x77, XK_F8, KEY_F8},
    {0x78, XK_F9, KEY_F9},
    {0x79, XK_F10, KEY_F10},
    {0x7A, XK_F11, KEY_F11},
    {0x7B, XK_F12, KEY_F12},
    {0xA0, XK_Shift_L, KEY_LEFTSHIFT},
    {0xA1, XK_Shift_R, KEY_RIGHTSHIFT},
    {0xA2, XK_Control_L, KEY_LEFTCTRL},
    {0xA3, XK_Control_R, KEY_RIGHTCTRL},
    {0xA4, XK_Alt_L, KEY_LEFTALT},
    {0xA5, XK_Alt_R, KEY_RIGHTALT},
    {0xAD, XF86XK_AudioMute, KEY_MUTE},
    {0xAE, XF86XK_AudioLowerVolume, KEY_VOLUMEDOWN},
    {0xAF, XF86XK_AudioRaiseVolume, KEY_VOLUMEUP},
    {0xB0, XF86XK_AudioNext, KEY_NEXTSONG},
    {0xB1, XF86XK_AudioPrev, KEY_PREVIOUSSONG},
    {0xB2, XF86XK_AudioStop, KEY_STOPCD},
    {0xB3, XF86XK_AudioPlay, KEY_PLAYPAUSE},
    {0xBB, XK_equal, KEY_EQUAL},
    {0xBD, XK_minus, KEY_MINUS},
};

} // namespace

const KeyMapping *findKey(std::uint8_t virtualKey)
{
    const auto found = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const KeyMapping &k) {
        return k.virtualKey == virtualKey;
    });
    return found == std::end(kKeys) ? nullptr : found;
}

} // namespace platform::linuxport
