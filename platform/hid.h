// HID device interfaces: enumeration of the present ones, their attributes and
// capabilities, and report exchange.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct HidAttributes
{
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
};

// The top-level collection's capabilities (HIDP_CAPS).
struct HidCaps
{
    std::uint16_t usage = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
    std::uint16_t featureReportByteLength = 0;
    std::uint16_t numberInputValueCaps = 0;
    std::uint16_t numberOutputValueCaps = 0;
    std::uint16_t numberFeatureValueCaps = 0;
};

// One value capability (HIDP_VALUE_CAPS), the fields the system uses.
struct HidValueCaps
{
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint8_t reportId = 0;
    std::uint16_t reportCount = 0;
};

enum class HidCapsResult {
    Ok,
    NoPreparsedData,     // HidD_GetPreparsedData failed
    InvalidPreparsedData // HidP_GetCaps answered HIDP_STATUS_INVALID_PREPARSED_DATA
};

enum class HidAccess {
    Query,    // no access rights, share read/write, FILE_FLAG_BACKUP_SEMANTICS
    ReadWrite // access 0x0012019F, share read/write, synchronous I/O
};

// One open interface. Destroying it closes the handle. Any thread, but one thread
// at a time per handle.
class HidHandle
{
public:
    virtual ~HidHandle() = default;

    // False for a handle whose open failed (the invalid-handle value); every
    // operation on it fails.
    virtual bool isValid() const = 0;

    // HidD_GetAttributes. False on failure.
    virtual bool attributes(HidAttributes &out) = 0;

    // HidD_GetPreparsedData then HidP_GetCaps; the preparsed data is freed again.
    virtual HidCapsResult caps(HidCaps &out) = 0;

    // HidP_GetValueCaps(HidP_Output) for at most `maximum` capabilities.
    // False when the preparsed data is invalid.
    virtual bool outputValueCaps(std::size_t maximum, std::vector<HidValueCaps> &out) = 0;

    // HidD_SetOutputReport with `length` bytes of `report` (report id in byte 0).
    // On failure returns false and sets `error` to the system error code.
    virtual bool setOutputReport(const std::uint8_t *report, std::size_t length,
                                 std::uint32_t &error) = 0;

    // HidD_GetInputReport into `report` (report id preset in byte 0), `length`
    // bytes. On failure returns false and sets `error`; `report` is then unchanged.
    virtual bool getInputReport(std::uint8_t *report, std::size_t length,
                                std::uint32_t &error) = 0;
};

class HidSystem
{
public:
    virtual ~HidSystem() = default;

    // The device paths of the present HID interfaces (HidD_GetHidGuid,
    // SetupDiGetClassDevsW with DIGCF_PRESENT | DIGCF_DEVICEINTERFACE, walked until
    // SetupDiEnumDeviceInterfaces fails; the list is destroyed before returning).
    // nullopt when a detail buffer could not be allocated. Any thread.
    virtual std::optional<std::vector<std::string>> interfacePaths() = 0;

    // Opens an interface path. Never null: a failed open gives a handle whose
    // isValid() is false. Any thread.
    virtual std::unique_ptr<HidHandle> open(const std::string &path, HidAccess access) = 0;
};

std::unique_ptr<HidSystem> createHidSystem();

} // namespace platform
