// The control device of the mouse filter driver, and the semaphore through which
// the driver announces queued input records.
//
// Semantics the driver guarantees: after the hook request the driver releases the
// semaphore once per queued record (at most 8000 ahead); each read request returns
// the oldest queued record as one 32-bit value.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Control codes (FILE_DEVICE_UNKNOWN, METHOD_BUFFERED, FILE_ANY_ACCESS, 0x900..0x905).
constexpr std::uint32_t kIoctlWtHook = 0x00222400;
constexpr std::uint32_t kIoctlWtUnhook = 0x00222404;
constexpr std::uint32_t kIoctlWtRead = 0x00222408;
constexpr std::uint32_t kIoctlSetMsFilter = 0x0022240C;
constexpr std::uint32_t kIoctlSetKbFilter = 0x00222410;
constexpr std::uint32_t kIoctlSetDebug = 0x00222414;

struct ControlResult
{
    bool ok = false;
    std::uint32_t bytesReturned = 0;
    std::uint32_t error = 0; // system error code when !ok
};

class FilterDevice
{
public:
    virtual ~FilterDevice() = default;

    // Creates the unnamed semaphore with initial count 0 and the given maximum.
    // Returns false when the system refuses. Main thread.
    virtual bool createSemaphore(std::uint32_t maximumCount) = 0;

    // The semaphore handle's value as sent with the hook request (4 bytes). 0 when
    // there is no semaphore. Main thread.
    virtual std::uint32_t semaphoreToken() const = 0;

    // Releases the semaphore once. Does nothing without a semaphore. Any thread.
    virtual void releaseSemaphore() = 0;

    // Closes the semaphore handle. A thread blocked in waitSemaphore() must have
    // been woken by releaseSemaphore() first. Main thread.
    virtual void closeSemaphore() = 0;

    // Blocks until the semaphore is released, without time-out. Returns false at
    // once when there is no semaphore. Driver thread.
    virtual bool waitSemaphore() = 0;

    // Opens \\.\vlkmdrv for reading and writing (share read, open existing).
    // Returns false when the driver is absent or refuses. Main thread.
    virtual bool open() = 0;
    virtual bool isOpen() const = 0;

    // Sends one synchronous control request with a 4-byte input (none for unhook).
    // `output`, when not null, receives a 4-byte result in the same buffer.
    // Fails with the system error code when the device is not open.
    // Main thread, and the driver thread for kIoctlWtRead.
    virtual ControlResult control(std::uint32_t code, const std::uint32_t *input,
                                  std::uint32_t *output) = 0;

    // Closes the device handle; further requests fail. Main thread.
    virtual void close() = 0;

    // Writes a line to the system debugger output (OutputDebugStringW). Any thread.
    virtual void debugOutput(const std::string &utf8) = 0;
};

std::unique_ptr<FilterDevice> createFilterDevice();

} // namespace platform
