// HID interfaces on Linux are the hidraw nodes. Each top-level collection of a
// node's report descriptor is listed as an interface of its own ("<node>" for the
// first, "<node>&colNN" for the others), as the system lists them elsewhere.
// Queries (attributes, capabilities) come from sysfs and need no access to the
// node; reports go through the node: output reports are written, input reports
// are asked for with HIDIOCGINPUT.
#include "hid.h"
#include "hid_descriptor.h"
#include "udev_util.h"

#include <libudev.h>

#include <linux/hidraw.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {
namespace {

using linuxport::HidCollectionCaps;

struct NodeInfo
{
    std::string devnode;
    HidAttributes attributes;
    std::vector<HidCollectionCaps> collections;
    bool descriptorRead = false;
};

std::vector<std::uint8_t> readFile(const std::string &path, bool &ok)
{
    std::vector<std::uint8_t> data;
    ok = false;
    FILE *f = std::fopen(path.c_str(), "rbe");
    if (!f)
        return data;
    std::uint8_t buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.insert(data.end(), buffer, buffer + n);
    ok = !std::ferror(f);
    std::fclose(f);
    return data;
}

NodeInfo describe(udev_device *hidraw)
{
    NodeInfo info;
    info.devnode = udev_device_get_devnode(hidraw);
    linuxport::usbIds(hidraw, info.attributes.vendorId, info.attributes.productId,
                      &info.attributes.versionNumber);
    if (udev_device *hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr)) {
        bool ok = false;
        const auto descriptor =
            readFile(std::string(udev_device_get_syspath(hid)) + "/report_descriptor", ok);
        if (ok) {
            info.descriptorRead = true;
            info.collections =
                linuxport::parseReportDescriptor(descriptor.data(), descriptor.size());
        }
    }
    return info;
}

std::string interfacePath(const std::string &devnode, std::size_t collection)
{
    if (collection == 0)
        return devnode;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "&col%02zu", collection + 1);
    return devnode + suffix;
}

// Splits "<node>&colNN" into the node and the collection index.
std::string splitPath(const std::string &path, std::size_t &collection)
{
    collection = 0;
    const std::size_t at = path.rfind("&col");
    if (at == std::string::npos)
        return path;
    collection = std::size_t(std::strtoul(path.c_str() + at + 4, nullptr, 10));
    collection = collection > 0 ? collection - 1 : 0;
    return path.substr(0, at);
}

class LinuxHidHandle : public HidHandle
{
public:
    LinuxHidHandle() = default;
    LinuxHidHandle(NodeInfo info, std::size_t collection, int fd)
        : m_valid(true), m_info(std::move(info)), m_collection(collection), m_fd(fd)
    {
    }
    ~LinuxHidHandle() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool isValid() const override { return m_valid; }
    bool attributes(HidAttributes &out) override
    {
        if (!m_valid)
            return false;
        out = m_info.attributes;
        return true;
    }
    HidCapsResult caps(HidCaps &out) override
    {
        if (!m_valid || !m_info.descriptorRead)
            return HidCapsResult::NoPreparsedData;
        if (m_collection >= m_info.collections.size())
            return HidCapsResult::InvalidPreparsedData;
        out = m_info.collections[m_collection].caps;
        return HidCapsResult::Ok;
    }
    bool outputValueCaps(std::size_t maximum, std::vector<HidValueCaps> &out) override
    {
        if (!m_valid || m_collection >= m_info.collections.size())
            return false;
        const auto &all = m_info.collections[m_collection].outputValueCaps;
        out.assign(all.begin(), all.begin() + std::ptrdiff_t(std::min(maximum, all.size())));
        return true;
    }
    bool setOutputReport(const std::uint8_t *report, std::size_t length,
                         std::uint32_t &error) override
    {
        if (m_fd < 0) {
            error = EBADF;
            return false;
        }
        const ssize_t n = ::write(m_fd, report, length);
        if (n == ssize_t(length))
            return true;
        error = n < 0 ? std::uint32_t(errno) : EIO;
        return false;
    }
    bool getInputReport(std::uint8_t *report, std::size_t length, std::uint32_t &error) override
    {
        if (m_fd < 0) {
            error = EBADF;
            return false;
        }
        std::vector<std::uint8_t> buffer(report, report + length);
        const int n = ::ioctl(m_fd, HIDIOCGINPUT(length), buffer.data());
        if (n < 0) {
            error = std::uint32_t(errno);
            return false;
        }
        std::memcpy(report, buffer.data(), std::min(length, std::size_t(n)));
        return true;
    }

private:
    bool m_valid = false;
    NodeInfo m_info;
    std::size_t m_collection = 0;
    int m_fd = -1;
};

class LinuxHidSystem : public HidSystem
{
public:
    std::optional<std::vector<std::string>> interfacePaths() override
    {
        std::vector<std::string> paths;
        auto u = linuxport::newUdev();
        linuxport::forEachDevice(u.get(), "hidraw", [&](udev_device *d) {
            const NodeInfo info = describe(d);
            const std::size_t count = std::max<std::size_t>(1, info.collections.size());
            for (std::size_t c = 0; c < count; ++c)
                paths.push_back(interfacePath(info.devnode, c));
            return false;
        });
        return paths;
    }

    std::unique_ptr<HidHandle> open(const std::string &path, HidAccess access) override
    {
        std::size_t collection = 0;
        const std::string devnode = splitPath(path, collection);
        std::optional<NodeInfo> info;
        auto u = linuxport::newUdev();
        linuxport::forEachDevice(u.get(), "hidraw", [&](udev_device *d) {
            if (devnode != udev_device_get_devnode(d))
                return false;
            info = describe(d);
            return true;
        });
        if (!info)
            return std::make_unique<LinuxHidHandle>();
        int fd = -1;
        if (access == HidAccess::ReadWrite) {
            fd = ::open(devnode.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0) {
                if (errno == EACCES || errno == EPERM)
                    linuxport::reportNoAccess(devnode);
                return std::make_unique<LinuxHidHandle>();
            }
        }
        return std::make_unique<LinuxHidHandle>(std::move(*info), collection, fd);
    }
};

} // namespace

std::unique_ptr<HidSystem> createHidSystem()
{
    return std::make_unique<LinuxHidSystem>();
}

} // namespace platform
