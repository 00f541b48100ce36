// Windows virtual keys as X keysyms and Linux input key codes.
#pragma once

#include <cstdint>

namespace platform::linuxport {

struct KeyMapping
{
    std::uint8_t virtualKey;
    std::uint32_t keysym;   // X keysym (X11/keysymdef.h, XF86keysym.h)
    std::uint16_t linuxKey; // KEY_* of linux/input-event-codes.h
};

// The mapping of `virtualKey`, or null for a key that has no counterpart here.
const KeyMapping *findKey(std::uint8_t virtualKey);

} // namespace platform::linuxport
