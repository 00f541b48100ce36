// The product's USB receiver: how both programs recognise it, by its USB ids in a
// device interface name or among the present HID interfaces.
#pragma once

#include <QString>

#include <functional>
#include <string>

namespace platform {
class HidHandle;
class HidSystem;
struct HidAttributes;
} // namespace platform

namespace receiverid {

constexpr unsigned kVendorId = 0x2F6B;
constexpr unsigned kProductIdFirst = 0x1812;
constexpr unsigned kProductIdSecond = 0x1813;

bool isReceiver(unsigned vendorId, unsigned productId);

// "VID_xxxx&PID_xxxx" in the upper-cased name, both read as hexadecimal (text
// that is not hexadecimal reads as 0). False when the pattern does not match.
bool parseInterfaceIds(const QString &name, unsigned &vendorId, unsigned &productId);

// Called for each present interface that opened for queries and gave its
// attributes; returns true to end the walk.
using InterfaceVisitor = std::function<bool(const std::string &path, platform::HidHandle &query,
                                            const platform::HidAttributes &attributes)>;

// Walks the present HID interfaces, logging the ones that cannot be opened
// ("INVALID_HANDLE_VALUE") or give no attributes ("FALSE == Result"). False,
// after "Out of memory", when the list could not be had.
bool forEachInterface(platform::HidSystem &hid, const InterfaceVisitor &visit);

// Whether a receiver is present: every interface's ids are logged ("Attributes:
// %x %x") up to the first receiver; the answer is logged as "true" or "false".
bool receiverPresent(platform::HidSystem &hid);

} // namespace receiverid
