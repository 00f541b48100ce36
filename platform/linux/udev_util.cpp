#include "udev_util.h"

#include <QDebug>
#include <QMutex>
#include <QSet>

#include <libudev.h>

#include <cstdlib>

namespace platform::linuxport {

void UdevDeleter::operator()(udev *u) const
{
    udev_unref(u);
}
void UdevDeleter::operator()(udev_device *d) const
{
    udev_device_unref(d);
}

UdevPtr newUdev()
{
    return UdevPtr(udev_new());
}

namespace {
bool hexAttribute(udev_device *d, const char *name, std::uint16_t &out)
{
    const char *text = udev_device_get_sysattr_value(d, name);
    if (!text)
        return false;
    out = std::uint16_t(std::strtoul(text, nullptr, 16));
    return true;
}
} // namespace

bool usbIds(udev_device *device, std::uint16_t &vendorId, std::uint16_t &productId,
            std::uint16_t *version)
{
    udev_device *usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    if (!usb) {
        const char *type = udev_device_get_devtype(device);
        const char *subsystem = udev_device_get_subsystem(device);
        if (!type || !subsystem || std::string(type) != "usb_device" ||
            std::string(subsystem) != "usb")
            return false;
        usb = device;
    }
    if (!hexAttribute(usb, "idVendor", vendorId) || !hexAttribute(usb, "idProduct", productId))
        return false;
    if (version && !hexAttribute(usb, "bcdDevice", *version))
        *version = 0;
    return true;
}

void forEachDevice(udev *u, const char *subsystem, const std::function<bool(udev_device *)> &visit)
{
    if (!u)
        return;
    udev_enumerate *e = udev_enumerate_new(u);
    udev_enumerate_add_match_subsystem(e, subsystem);
    udev_enumerate_scan_devices(e);
    udev_list_entry *entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e))
    {
        UdevDevicePtr d(udev_device_new_from_syspath(u, udev_list_entry_get_name(entry)));
        if (!d || !udev_device_get_devnode(d.get()))
            continue;
        if (visit(d.get()))
            break;
    }
    udev_enumerate_unref(e);
}

void reportNoAccess(const std::string &node)
{
    static QMutex mutex;
    static QSet<QString> reported;
    QMutexLocker lock(&mutex);
    const QString key = QString::fromStdString(node);
    if (reported.contains(key))
        return;
    reported.insert(key);
    qWarning().noquote() << QStringLiteral(
                                "%1: no access to the receiver's device node; install the udev "
                                "rule (tools/install-udev-rule) and plug the receiver in again")
                                .arg(key);
}

} // namespace platform::linuxport
