// A virtual keyboard and mouse through the kernel's uinput device: the way of
// injecting input that works under every display server, Wayland included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform::linuxport {

// The file operations on an open /dev/uinput; tests record them instead.
class UinputIo
{
public:
    virtual ~UinputIo() = default;
    // ioctl(fd, request, argument); -1 on failure as ioctl(2).
    virtual int control(unsigned long request, unsigned long argument) = 0;
    // ioctl(fd, request, pointer) for the requests that take a structure.
    virtual int controlWith(unsigned long request, const void *data) = 0;
    // write(fd, data, size); false unless every byte was written.
    virtual bool write(const void *data, std::size_t size) = 0;
};

// /dev/uinput opened for writing, or null (errno kept) when absent or not writable.
std::unique_ptr<UinputIo> openUinput();

class UinputDevice
{
public:
    // Declares the keys of the key table, the five mouse buttons and the two
    // wheels, then creates the device "Velko Options virtual input". Null when the
    // kernel refuses any step. Main thread.
    static std::unique_ptr<UinputDevice> create(std::unique_ptr<UinputIo> io);
    ~UinputDevice(); // destroys the device

    // One key or button (BTN_*) change followed by a report. False when the write failed.
    bool key(std::uint16_t code, bool down);
    // `notches` wheel steps (positive: up, or right when horizontal), with the
    // matching high-resolution value (120 per notch), then a report.
    bool wheel(int notches, bool horizontal);

private:
    explicit UinputDevice(std::unique_ptr<UinputIo> io) : m_io(std::move(io)) {}
    bool emit(std::uint16_t type, std::uint16_t code, std::int32_t value);
    std::unique_ptr<UinputIo> m_io;
};

} // namespace platform::linuxport
