#include "uinput_linux.h"
#include "keymap_linux.h"

#include <linux/uinput.h>

#include <cstring>
#include <initializer_list>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform::linuxport {
namespace {

class FileUinputIo : public UinputIo
{
public:
    explicit FileUinputIo(int fd) : m_fd(fd) {}
    ~FileUinputIo() override { ::close(m_fd); }
    int control(unsigned long request, unsigned long argument) override
    {
        return ::ioctl(m_fd, request, argument);
    }
    int controlWith(unsigned long request, const void *data) override
    {
        return ::ioctl(m_fd, request, data);
    }
    bool write(const void *data, std::size_t size) override
    {
        return ::write(m_fd, data, size) == ssize_t(size);
    }

private:
    int m_fd;
};

constexpr std::uint16_t kButtons[] = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE, BTN_SIDE, BTN_EXTRA};

} // namespace

std::unique_ptr<UinputIo> openUinput()
{
    const int fd = ::open("/dev/uinput", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::make_unique<FileUinputIo>(fd);
}

std::unique_ptr<UinputDevice> UinputDevice::create(std::unique_ptr<UinputIo> io)
{
    if (!io)
        return nullptr;
    bool ok = io->control(UI_SET_EVBIT, EV_KEY) >= 0 && io->control(UI_SET_EVBIT, EV_REL) >= 0 &&
              io->control(UI_SET_EVBIT, EV_SYN) >= 0;
    for (int vk = 0; ok && vk < 256; ++vk) {
        if (const KeyMapping *key = findKey(std::uint8_t(vk)))
            ok = io->control(UI_SET_KEYBIT, key->linuxKey) >= 0;
    }
    for (const std::uint16_t button : kButtons)
        ok = ok && io->control(UI_SET_KEYBIT, button) >= 0;
    for (const std::uint16_t axis :
         {REL_X, REL_Y, REL_WHEEL, REL_HWHEEL, REL_WHEEL_HI_RES, REL_HWHEEL_HI_RES})
        ok = ok && io->control(UI_SET_RELBIT, axis) >= 0;
    if (!ok)
        return nullptr;
    uinput_setup setup{};
    setup.id.bustype = BUS_VIRTUAL;
    setup.id.vendor = 0x1d6b;  // Linux Foundation
    setup.id.product = 0x0104; // multifunction composite
    std::strncpy(setup.name, "Velko Options virtual input", UINPUT_MAX_NAME_SIZE - 1);
    if (io->controlWith(UI_DEV_SETUP, &setup) < 0 || io->control(UI_DEV_CREATE, 0) < 0)
        return nullptr;
    return std::unique_ptr<UinputDevice>(new UinputDevice(std::move(io)));
}

UinputDevice::~UinputDevice()
{
    m_io->control(UI_DEV_DESTROY, 0);
}

bool UinputDevice::emit(std::uint16_t type, std::uint16_t code, std::int32_t value)
{
    input_event event{};
    event.type = type;
    event.code = code;
    event.value = value;
    return m_io->write(&event, sizeof event);
}

bool UinputDevice::key(std::uint16_t code, bool down)
{
    return emit(EV_KEY, code, down ? 1 : 0) && emit(EV_SYN, SYN_REPORT, 0);
}

bool UinputDevice::wheel(int notches, bool horizontal)
{
    return emit(EV_REL, horizontal ? REL_HWHEEL : REL_WHEEL, notches) &&
           emit(EV_REL, horizontal ? REL_HWHEEL_HI_RES : REL_WHEEL_HI_RES, notches * 120) &&
           emit(EV_SYN, SYN_REPORT, 0);
}

} // namespace platform::linuxport
