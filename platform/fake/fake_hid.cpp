#include "fake_hid.h"

#include <algorithm>
#include <cstring>

namespace platform::fake {

class FakeHidHandle : public HidHandle
{
public:
    FakeHidHandle(bool valid, FakeHidInterface iface, FakeHidFirmware *firmware,
                  std::function<void(int)> count)
        : m_valid(valid), m_iface(std::move(iface)), m_firmware(firmware), m_count(std::move(count))
    {
        if (m_valid)
            m_count(+1);
    }
    ~FakeHidHandle() override
    {
        if (m_valid)
            m_count(-1);
    }

    bool isValid() const override { return m_valid; }

    bool attributes(HidAttributes &out) override
    {
        if (!m_valid || m_iface.attributesFail)
            return false;
        out = m_iface.attributes;
        return true;
    }

    HidCapsResult caps(HidCaps &out) override
    {
        if (!m_valid)
            return HidCapsResult::NoPreparsedData;
        if (m_iface.capsResult == HidCapsResult::Ok)
            out = m_iface.caps;
        return m_iface.capsResult;
    }

    bool outputValueCaps(std::size_t maximum, std::vector<HidValueCaps> &out) override
    {
        if (!m_valid || m_iface.valueCapsFail)
            return false;
        const std::size_t n = std::min<std::size_t>(
            {maximum, m_iface.outputValueCaps.size(), m_iface.caps.numberOutputValueCaps});
        out.assign(m_iface.outputValueCaps.begin(), m_iface.outputValueCaps.begin() + long(n));
        return true;
    }

    bool setOutputReport(const std::uint8_t *report, std::size_t length,
                         std::uint32_t &error) override
    {
        if (!m_valid) {
            error = 6; // ERROR_INVALID_HANDLE
            return false;
        }
        if (!m_firmware) {
            error = 1; // ERROR_INVALID_FUNCTION
            return false;
        }
        return m_firmware->onOutputReport(std::vector<std::uint8_t>(report, report + length), error);
    }

    bool getInputReport(std::uint8_t *report, std::size_t length, std::uint32_t &error) override
    {
        if (!m_valid) {
            error = 6;
            return false;
        }
        if (!m_firmware) {
            error = 1;
            return false;
        }
        std::vector<std::uint8_t> buffer(report, report + length);
        if (!m_firmware->onInputReport(buffer, error))
            return false;
        buffer.resize(length);
        std::memcpy(report, buffer.data(), length);
        return true;
    }

private:
    bool m_valid;
    FakeHidInterface m_iface;
    FakeHidFirmware *m_firmware;
    std::function<void(int)> m_count;
};

std::optional<std::vector<std::string>> FakeHidSystem::interfacePaths()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_outOfMemory)
        return std::nullopt;
    std::vector<std::string> paths;
    for (const Entry &e : m_entries)
        paths.push_back(e.iface.path);
    return paths;
}

std::unique_ptr<HidHandle> FakeHidSystem::open(const std::string &path, HidAccess access)
{
    FakeHidInterface iface;
    FakeHidFirmware *firmware = nullptr;
    bool found = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_opens.push_back({path, access});
        for (const Entry &e : m_entries) {
            if (e.iface.path == path) {
                iface = e.iface;
                firmware = e.firmware;
                found = true;
                break;
            }
        }
    }
    const bool valid = found && !iface.openFails;
    auto live = m_live;
    auto count = [live](int delta) {
        std::lock_guard<std::mutex> lock(live->mutex);
        live->count += delta;
    };
    return std::make_unique<FakeHidHandle>(valid, iface, firmware, count);
}

void FakeHidSystem::addInterface(const FakeHidInterface &iface, FakeHidFirmware *firmware)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_back({iface, firmware});
}

void FakeHidSystem::removeInterface(const std::string &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const Entry &e) { return e.iface.path == path; }),
                    m_entries.end());
}

void FakeHidSystem::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
}

void FakeHidSystem::setOutOfMemory(bool outOfMemory)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_outOfMemory = outOfMemory;
}

std::vector<FakeHidSystem::OpenRecord> FakeHidSystem::opens() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_opens;
}

int FakeHidSystem::openHandleCount() const
{
    std::lock_guard<std::mutex> lock(m_live->mutex);
    return m_live->count;
}

} // namespace platform::fake
