// Reading a HID report descriptor into the capabilities of its top-level
// collections, the way the system's HID class driver reports them: one entry per
// top-level application collection, report lengths in bytes with the report id
// byte counted, and value capabilities for every data field wider than one bit.
// Plain C++; any thread.
#pragma once

#include "hid.h"

#include <cstdint>
#include <vector>

namespace platform::linuxport {

struct HidCollectionCaps
{
    HidCaps caps;
    std::vector<HidValueCaps> outputValueCaps;
};

// The top-level collections in the order the descriptor declares them. Items
// outside any application collection are ignored; a truncated descriptor keeps
// what was complete before the cut.
std::vector<HidCollectionCaps> parseReportDescriptor(const std::uint8_t *data, std::size_t size);

} // namespace platform::linuxport
