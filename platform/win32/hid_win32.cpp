#include "hid.h"
#include "win32_util.h"

#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

class Win32HidHandle : public HidHandle
{
public:
    explicit Win32HidHandle(HANDLE handle) : m_handle(handle) {}
    ~Win32HidHandle() override
    {
        if (isValid())
            CloseHandle(m_handle);
    }

    bool isValid() const override { return m_handle != INVALID_HANDLE_VALUE && m_handle; }

    bool attributes(HidAttributes &out) override
    {
        HIDD_ATTRIBUTES a{};
        a.Size = sizeof(a); // 12
        if (!isValid() || !HidD_GetAttributes(m_handle, &a))
            return false;
        out.vendorId = a.VendorID;
        out.productId = a.ProductID;
        out.versionNumber = a.VersionNumber;
        return true;
    }

    HidCapsResult caps(HidCaps &out) override
    {
        PHIDP_PREPARSED_DATA data = nullptr;
        if (!isValid() || !HidD_GetPreparsedData(m_handle, &data))
            return HidCapsResult::NoPreparsedData;
        HIDP_CAPS c{};
        const NTSTATUS status = HidP_GetCaps(data, &c);
        HidD_FreePreparsedData(data);
        if (status == HIDP_STATUS_INVALID_PREPARSED_DATA)
            return HidCapsResult::InvalidPreparsedData;
        out.usage = c.Usage;
        out.usagePage = c.UsagePage;
        out.inputReportByteLength = c.InputReportByteLength;
        out.outputReportByteLength = c.OutputReportByteLength;
        out.featureReportByteLength = c.FeatureReportByteLength;
        out.numberInputValueCaps = c.NumberInputValueCaps;
        out.numberOutputValueCaps = c.NumberOutputValueCaps;
        out.numberFeatureValueCaps = c.NumberFeatureValueCaps;
        return HidCapsResult::Ok;
    }

    bool outputValueCaps(std::size_t maximum, std::vector<HidValueCaps> &out) override
    {
        out.clear();
        PHIDP_PREPARSED_DATA data = nullptr;
        if (!isValid() || !HidD_GetPreparsedData(m_handle, &data))
            return false;
        std::vector<HIDP_VALUE_CAPS> caps(maximum ? maximum : 1);
        USHORT length = USHORT(maximum);
        const NTSTATUS status = HidP_GetValueCaps(HidP_Output, caps.data(), &length, data);
        HidD_FreePreparsedData(data);
        if (status == HIDP_STATUS_INVALID_PREPARSED_DATA)
            return false;
        if (status != HIDP_STATUS_SUCCESS)
            length = 0;
        for (USHORT i = 0; i < length && i < maximum; ++i) {
            HidValueCaps v;
            v.usagePage = caps[i].UsagePage;
            v.usage = caps[i].IsRange ? caps[i].Range.UsageMin : caps[i].NotRange.Usage;
            v.reportId = caps[i].ReportID;
            v.reportCount = caps[i].ReportCount;
            out.push_back(v);
        }
        return true;
    }

    bool setOutputReport(const std::uint8_t *report, std::size_t length,
                         std::uint32_t &error) override
    {
        std::vector<std::uint8_t> buffer(report, report + length);
        if (HidD_SetOutputReport(m_handle, buffer.data(), ULONG(length)))
            return true;
        error = GetLastError();
        return false;
    }

    bool getInputReport(std::uint8_t *report, std::size_t length, std::uint32_t &error) override
    {
        std::vector<std::uint8_t> buffer(report, report + length);
        if (!HidD_GetInputReport(m_handle, buffer.data(), ULONG(length))) {
            error = GetLastError();
            return false;
        }
        std::memcpy(report, buffer.data(), length);
        return true;
    }

private:
    HANDLE m_handle;
};

class Win32HidSystem : public HidSystem
{
public:
    std::optional<std::vector<std::string>> interfacePaths() override
    {
        std::vector<std::string> paths;
        GUID guid;
        HidD_GetHidGuid(&guid);
        HDEVINFO list =
            SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (list == INVALID_HANDLE_VALUE)
            return paths;
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof(data);
        for (DWORD index = 0; SetupDiEnumDeviceInterfaces(list, nullptr, &guid, index, &data);
             ++index) {
            DWORD size = 0;
            SetupDiGetDeviceInterfaceDetailW(list, &data, nullptr, 0, &size, nullptr);
            if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
                continue;
            auto *detail = static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_W>(std::malloc(size));
            if (!detail) {
                SetupDiDestroyDeviceInfoList(list);
                return std::nullopt;
            }
            // The structure's own size: 6 in 32-bit programs, 8 in 64-bit ones.
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
            if (SetupDiGetDeviceInterfaceDetailW(list, &data, detail, size, nullptr, nullptr))
                paths.push_back(win32::narrow(detail->DevicePath));
            std::free(detail);
        }
        SetupDiDestroyDeviceInfoList(list);
        return paths;
    }

    std::unique_ptr<HidHandle> open(const std::string &path, HidAccess access) override
    {
        const std::wstring wide = win32::widen(path);
        HANDLE h = INVALID_HANDLE_VALUE;
        if (access == HidAccess::Query)
            h = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        else
            h = CreateFileW(wide.c_str(), 0x0012019F, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
        return std::make_unique<Win32HidHandle>(h);
    }
};

} // namespace

std::unique_ptr<HidSystem> createHidSystem()
{
    return std::make_unique<Win32HidSystem>();
}

} // namespace platform
