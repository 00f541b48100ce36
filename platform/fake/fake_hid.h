// Simulated HID devices: interfaces with attributes and capabilities, and a
// per-interface responder that plays the device's firmware.
#pragma once

#include "hid.h"

#include <functional>
#include <mutex>

namespace platform::fake {

struct FakeHidInterface
{
    std::string path;
    HidAttributes attributes;
    HidCaps caps;
    std::vector<HidValueCaps> outputValueCaps;
    bool openFails = false;       // every open of the path fails
    bool attributesFail = false;  // HidD_GetAttributes fails
    HidCapsResult capsResult = HidCapsResult::Ok;
    bool valueCapsFail = false;   // HidP_GetValueCaps answers invalid preparsed data
};

// The firmware side of one interface. Output reports go in; input reports are
// asked for. Return false to make the call fail with `error`.
class FakeHidFirmware
{
public:
    virtual ~FakeHidFirmware() = default;
    virtual bool onOutputReport(const std::vector<std::uint8_t> &report, std::uint32_t &error) = 0;
    virtual bool onInputReport(std::vector<std::uint8_t> &report, std::uint32_t &error) = 0;
};

class FakeHidSystem : public HidSystem
{
public:
    std::optional<std::vector<std::string>> interfacePaths() override;
    std::unique_ptr<HidHandle> open(const std::string &path, HidAccess access) override;

    // Adds an interface; `firmware` (may be null) answers its reports and must
    // outlive the handles.
    void addInterface(const FakeHidInterface &iface, FakeHidFirmware *firmware = nullptr);
    void removeInterface(const std::string &path);
    void clear();
    void setOutOfMemory(bool outOfMemory);

    struct OpenRecord
    {
        std::string path;
        HidAccess access;
    };
    std::vector<OpenRecord> opens() const;
    // Handles currently open (not yet destroyed), all paths.
    int openHandleCount() const;

private:
    struct Entry
    {
        FakeHidInterface iface;
        FakeHidFirmware *firmware;
    };
    mutable std::mutex m_mutex;
    // Shared with the handles, which may outlive the system object.
    struct LiveCount
    {
        std::mutex mutex;
        int count = 0;
    };
    std::shared_ptr<LiveCount> m_live = std::make_shared<LiveCount>();
    std::vector<Entry> m_entries;
    std::vector<OpenRecord> m_opens;
    bool m_outOfMemory = false;
};

} // namespace platform::fake
