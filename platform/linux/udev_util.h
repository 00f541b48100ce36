// Small helpers around libudev shared by the Linux device services. Plain C++;
// any thread (each call makes its own udev context).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct udev;
struct udev_device;

namespace platform::linuxport {

struct UdevDeleter
{
    void operator()(udev *u) const;
    void operator()(udev_device *d) const;
};
using UdevPtr = std::unique_ptr<udev, UdevDeleter>;
using UdevDevicePtr = std::unique_ptr<udev_device, UdevDeleter>;

UdevPtr newUdev();

// The USB ids of the device's USB device ancestor (or the device itself). False
// when it is not on USB.
bool usbIds(udev_device *device, std::uint16_t &vendorId, std::uint16_t &productId,
            std::uint16_t *version = nullptr);

// Calls `visit` for every device of `subsystem` that has a device node; stops
// when it returns true.
void forEachDevice(udev *u, const char *subsystem, const std::function<bool(udev_device *)> &visit);

// Logs once per node that it cannot be opened for lack of rights, with the way to
// grant them. Any thread.
void reportNoAccess(const std::string &node);

} // namespace platform::linuxport
