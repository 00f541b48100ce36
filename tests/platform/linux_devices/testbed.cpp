#include "testbed.h"

#include <cerrno>
#include <linux/hidraw.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace testbed {

const char kMouseDescriptor[] = "05010902A1010901A1000509190129051500250195057501810295017503810105"
                                "010930093109381581257F750895038106C0C0";
const char kReceiverDescriptor[] = "05010902A1010901A100050919012905150025019505750181029501750381"
                                   "0105010930093109381581257F750895038106C0C0"
                                   "0600FF0901A10185BA150026FF007508951F0901810209019102C0";
const char kKeyboardDescriptor[] =
    "05010906A101050719E029E71500250175019508810295017508810195067508"
    "15002565190029658100C0";

Bed::Bed() : m_bed(umockdev_testbed_new()) {}

Bed::~Bed()
{
    g_object_unref(m_bed);
}

Device Bed::addUsb(const std::string &name, std::uint16_t vendorId, std::uint16_t productId,
                   const char *descriptor, bool mouse)
{
    char ids[64];
    std::snprintf(ids, sizeof ids, "%04x/%04x/100", vendorId, productId);
    const std::string usb = "/devices/pci0000:00/usb1/" + name;
    std::string text = "P: " + usb +
                       "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: PRODUCT=" + ids +
                       "\nA: idVendor=" + std::string(ids, 4) +
                       "\nA: idProduct=" + std::string(ids + 5, 4) + "\nA: bcdDevice=0100\n\n";
    Device d;
    d.usbPath = "/sys" + usb;
    d.paths.push_back(d.usbPath);
    if (descriptor) {
        const int n = ++m_number;
        char hid[64];
        std::snprintf(hid, sizeof hid, "%s:1.0/0003:%04X:%04X.%04d", name.c_str(), vendorId,
                      productId, n);
        const std::string iface = usb + "/" + name + ":1.0";
        const std::string hidPath = usb + "/" + hid;
        d.hidraw = "/dev/hidraw" + std::to_string(n);
        d.paths.push_back("/sys" + iface);
        d.paths.push_back("/sys" + hidPath);
        d.paths.push_back("/sys" + hidPath + "/hidraw/hidraw" + std::to_string(n));
        text += "P: " + iface + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n\n";
        text += "P: " + hidPath + "\nE: SUBSYSTEM=hid\nH: report_descriptor=" + descriptor + "\n\n";
        text += "P: " + hidPath + "/hidraw/hidraw" + std::to_string(n) + "\nN: hidraw" +
                std::to_string(n) + "\nE: SUBSYSTEM=hidraw\nE: DEVNAME=" + d.hidraw + "\n\n";
        if (mouse) {
            d.eventNode = "/dev/input/event" + std::to_string(n);
            const std::string input = hidPath + "/input/input" + std::to_string(n);
            d.paths.push_back("/sys" + input);
            d.paths.push_back("/sys" + input + "/event" + std::to_string(n));
            text += "P: " + input + "\nE: SUBSYSTEM=input\n\n";
            text += "P: " + input + "/event" + std::to_string(n) + "\nN: input/event" +
                    std::to_string(n) + "\nE: SUBSYSTEM=input\nE: DEVNAME=" + d.eventNode +
                    "\nE: ID_INPUT=1\nE: ID_INPUT_MOUSE=1\n\n";
        }
    }
    GError *error = nullptr;
    d.added = umockdev_testbed_add_from_string(m_bed, text.c_str(), &error);
    if (error)
        g_error_free(error);
    if (!d.eventNode.empty()) {
        termios raw{};
        const int fd = streamFd(d.eventNode);
        tcgetattr(fd, &raw);
        cfmakeraw(&raw);
        tcsetattr(fd, TCSANOW, &raw);
    }
    return d;
}

void Bed::remove(const Device &device)
{
    for (auto it = device.paths.rbegin(); it != device.paths.rend(); ++it)
        umockdev_testbed_uevent(m_bed, it->c_str(), "remove");
    umockdev_testbed_remove_device(m_bed, device.usbPath.c_str());
}

int Bed::streamFd(const std::string &node)
{
    return umockdev_testbed_get_dev_fd(m_bed, node.c_str());
}

std::string Bed::realPath(const std::string &node) const
{
    gchar *root = umockdev_testbed_get_root_dir(m_bed);
    const std::string path = std::string(root) + node;
    g_free(root);
    return path;
}

bool writeEvents(int fd, const std::vector<input_event> &events)
{
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(events.data());
    std::size_t left = events.size() * sizeof(input_event);
    while (left > 0) {
        const ssize_t n = ::write(fd, bytes, left);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        if (n <= 0)
            return false;
        bytes += n;
        left -= std::size_t(n);
    }
    return true;
}

struct ScriptedHidrawCalls
{
    static gboolean onWrite(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self)
    {
        UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
        std::uint32_t error = 0;
        const bool ok = static_cast<ScriptedHidraw *>(self)->m_firmware.onOutputReport(
            {arg->data, arg->data + arg->data_len}, error);
        umockdev_ioctl_client_complete(client, ok ? arg->data_len : -1, ok ? 0 : EIO);
        return TRUE;
    }
    static gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self)
    {
        const gulong request = umockdev_ioctl_client_get_request(client);
        const std::size_t length = _IOC_SIZE(request);
        UMockdevIoctlData *data =
            umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, length, nullptr);
        std::vector<std::uint8_t> report(data->data, data->data + length);
        std::uint32_t error = 0;
        const bool ok =
            request == gulong(HIDIOCGINPUT(length)) &&
            static_cast<ScriptedHidraw *>(self)->m_firmware.onInputReport(report, error);
        if (ok)
            std::copy(report.begin(), report.begin() + std::ptrdiff_t(length), data->data);
        umockdev_ioctl_client_complete(client, ok ? glong(length) : -1, ok ? 0 : EIO);
        return TRUE;
    }
};

ScriptedHidraw::ScriptedHidraw(Bed &bed, const std::string &node,
                               platform::fake::FakeHidFirmware &firmware)
    : m_handler(umockdev_ioctl_base_new()), m_firmware(firmware)
{
    g_signal_connect(m_handler, "handle-write", G_CALLBACK(ScriptedHidrawCalls::onWrite), this);
    g_signal_connect(m_handler, "handle-ioctl", G_CALLBACK(ScriptedHidrawCalls::onIoctl), this);
    m_attached = umockdev_testbed_attach_ioctl(bed.get(), node.c_str(), m_handler, nullptr);
}

ScriptedHidraw::~ScriptedHidraw()
{
    g_object_unref(m_handler);
}

namespace {
constexpr std::uint32_t kFileOverride =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
}

WithoutFileOverride::WithoutFileOverride()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    ::syscall(SYS_capget, &header, data);
    m_saved = data[0].effective & kFileOverride;
    data[0].effective &= ~kFileOverride;
    ::syscall(SYS_capset, &header, data);
}

WithoutFileOverride::~WithoutFileOverride()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    ::syscall(SYS_capget, &header, data);
    data[0].effective |= m_saved;
    ::syscall(SYS_capset, &header, data);
}

input_event event(std::uint16_t type, std::uint16_t code, std::int32_t value)
{
    input_event e{};
    e.type = type;
    e.code = code;
    e.value = value;
    return e;
}

} // namespace testbed
