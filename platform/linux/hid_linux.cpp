// HID access on Linux comes with the port of the receiver link; until then no
// interface is reported.
#include "hid.h"
#include "unavailable.h"

namespace platform {
namespace {

class UnavailableHidHandle : public HidHandle
{
public:
    bool isValid() const override { return false; }
    bool attributes(HidAttributes &) override { return false; }
    HidCapsResult caps(HidCaps &) override { return HidCapsResult::NoPreparsedData; }
    bool outputValueCaps(std::size_t, std::vector<HidValueCaps> &) override { return false; }
    bool setOutputReport(const std::uint8_t *, std::size_t, std::uint32_t &error) override
    {
        error = 6; // ERROR_INVALID_HANDLE
        return false;
    }
    bool getInputReport(std::uint8_t *, std::size_t, std::uint32_t &error) override
    {
        error = 6;
        return false;
    }
};

class LinuxHidSystem : public HidSystem
{
public:
    std::optional<std::vector<std::string>> interfacePaths() override
    {
        linuxport::reportUnavailable("HID devices");
        return std::vector<std::string>();
    }
    std::unique_ptr<HidHandle> open(const std::string &, HidAccess) override
    {
        return std::make_unique<UnavailableHidHandle>();
    }
};

} // namespace

std::unique_ptr<HidSystem> createHidSystem()
{
    return std::make_unique<LinuxHidSystem>();
}

} // namespace platform
