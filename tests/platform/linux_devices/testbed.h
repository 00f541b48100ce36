// Emulated kernel devices for the Linux device services: a umockdev test bed
// with the receiver (its USB device, the hidraw node of its HID interface and
// the event node of its mouse) and other makers' devices. The test program runs
// under umockdev-wrapper, which points udev, sysfs and /dev at the test bed.
#pragma once

#include "fake_hid.h"

#include <umockdev.h>

#include <linux/input.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testbed {

// The receiver's HID descriptor: a mouse collection, then the vendor collection
// (usage page 0xFF00) with 31-byte input and output reports under id 0xBA.
extern const char kReceiverDescriptor[];
extern const char kMouseDescriptor[];
extern const char kKeyboardDescriptor[];

struct Device
{
    std::string usbPath;            // sysfs path of the USB device
    std::string hidraw;             // /dev node, empty when none
    std::string eventNode;          // /dev node, empty when none
    std::vector<std::string> paths; // sysfs paths, parents first
    bool added = false;             // the test bed took the description
};

// Only meaningful where umockdev_in_mock_environment() is true.
class Bed
{
public:
    Bed();
    ~Bed();
    Bed(const Bed &) = delete;
    Bed &operator=(const Bed &) = delete;

    // A USB device with, when `descriptor` is given, one HID interface with a
    // hidraw node and, when `mouse`, an event node marked as a mouse.
    Device addUsb(const std::string &name, std::uint16_t vendorId, std::uint16_t productId,
                  const char *descriptor, bool mouse);
    // Sends the removal event and takes the device away.
    void remove(const Device &device);
    // The test's end of a stream node.
    int streamFd(const std::string &node);
    // The node as a path in the real file system (for chmod).
    std::string realPath(const std::string &node) const;
    UMockdevTestbed *get() { return m_bed; }

private:
    UMockdevTestbed *m_bed;
    int m_number = 0;
};

// Plays a hidraw node's firmware: output reports written to the node and input
// reports asked for with HIDIOCGINPUT go to `firmware` (for as long as it lives).
class ScriptedHidraw
{
public:
    ScriptedHidraw(Bed &bed, const std::string &node, platform::fake::FakeHidFirmware &firmware);
    ~ScriptedHidraw();
    bool attached() const { return m_attached; }

private:
    UMockdevIoctlBase *m_handler;
    platform::fake::FakeHidFirmware &m_firmware;
    bool m_attached = false;
    friend struct ScriptedHidrawCalls;
};

// Takes from the calling thread (and the threads it starts later) the right to
// open files whatever their mode, for as long as it lives: root is then refused
// like any user.
class WithoutFileOverride
{
public:
    WithoutFileOverride();
    ~WithoutFileOverride();

private:
    std::uint32_t m_saved = 0;
};

// Writes events to a stream node whole, waiting while it is full. False when
// the node refused them.
bool writeEvents(int fd, const std::vector<input_event> &events);
input_event event(std::uint16_t type, std::uint16_t code, std::int32_t value);

} // namespace testbed
