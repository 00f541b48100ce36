#include "hid_descriptor.h"

#include <map>

namespace platform::linuxport {
namespace {

enum class Kind { Input, Output, Feature };

struct Globals
{
    std::uint16_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

struct Building
{
    HidCollectionCaps result;
    // Bits per report id and kind, to size the longest report.
    std::map<std::pair<std::uint8_t, Kind>, std::uint32_t> bits;
};

std::uint16_t byteLength(const Building &b, Kind kind)
{
    std::uint32_t longest = 0;
    for (const auto &[key, bits] : b.bits)
        if (key.second == kind && bits > longest)
            longest = bits;
    if (longest == 0)
        return 0;
    // The report id byte is always counted, also for devices without report ids.
    return std::uint16_t((longest + 7) / 8 + 1);
}

} // namespace

std::vector<HidCollectionCaps> parseReportDescriptor(const std::uint8_t *data, std::size_t size)
{
    std::vector<HidCollectionCaps> out;
    std::vector<Globals> stack(1);
    std::vector<std::uint32_t> usages; // local usages, extended to 32 bits
    std::uint32_t usageMinimum = 0;
    bool haveMinimum = false;
    int depth = 0;
    Building current;
    bool inApplication = false;

    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t prefix = data[i];
        if (prefix == 0xFE) { // long item: skip it whole
            if (i + 2 >= size)
                break;
            i += 3 + data[i + 1];
            continue;
        }
        static const std::size_t kSizes[] = {0, 1, 2, 4};
        const std::size_t n = kSizes[prefix & 0x03];
        if (i + 1 + n > size)
            break;
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < n; ++k)
            value |= std::uint32_t(data[i + 1 + k]) << (8 * k);
        const std::uint8_t tag = prefix & 0xFC;
        i += 1 + n;

        Globals &g = stack.back();
        const auto fullUsage = [&](std::uint32_t u) {
            return n == 4 ? u : (std::uint32_t(g.usagePage) << 16) | u;
        };
        switch (tag) {
        case 0x04:
            g.usagePage = std::uint16_t(value);
            break;
        case 0x74:
            g.reportSize = value;
            break;
        case 0x94:
            g.reportCount = value;
            break;
        case 0x84:
            g.reportId = std::uint8_t(value);
            break;
        case 0xA4:
            stack.push_back(g);
            break; // push
        case 0xB4: // pop
            if (stack.size() > 1)
                stack.pop_back();
            break;
        case 0x08:
            usages.push_back(fullUsage(value));
            break;
        case 0x18:
            usageMinimum = fullUsage(value);
            haveMinimum = true;
            break;
        case 0xA0: // collection
            if (depth == 0 && value == 0x01) {
                current = Building();
                const std::uint32_t u = usages.empty() ? 0 : usages.front();
                current.result.caps.usagePage = std::uint16_t(u >> 16);
                current.result.caps.usage = std::uint16_t(u & 0xFFFF);
                inApplication = true;
            }
            ++depth;
            break;
        case 0xC0: // end collection
            if (depth > 0 && --depth == 0 && inApplication) {
                HidCaps &c = current.result.caps;
                c.inputReportByteLength = byteLength(current, Kind::Input);
                c.outputReportByteLength = byteLength(current, Kind::Output);
                c.featureReportByteLength = byteLength(current, Kind::Feature);
                out.push_back(current.result);
                inApplication = false;
            }
            break;
        case 0x80:
        case 0x90:
        case 0xB0: { // input, output, feature
            if (!inApplication)
                break;
            const Kind kind = tag == 0x80   ? Kind::Input
                              : tag == 0x90 ? Kind::Output
                                            : Kind::Feature;
            current.bits[{g.reportId, kind}] += g.reportSize * g.reportCount;
            const bool constant = value & 0x01;
            if (constant || g.reportSize <= 1)
                break; // padding, or buttons
            // One capability per listed usage (the last one taking the remaining
            // fields), or one for a usage range.
            std::vector<std::uint32_t> fieldUsages = usages;
            if (fieldUsages.size() > g.reportCount)
                fieldUsages.resize(g.reportCount);
            if (fieldUsages.empty())
                fieldUsages.push_back(haveMinimum ? usageMinimum : 0);
            HidCaps &c = current.result.caps;
            std::uint16_t &count = kind == Kind::Input    ? c.numberInputValueCaps
                                   : kind == Kind::Output ? c.numberOutputValueCaps
                                                          : c.numberFeatureValueCaps;
            count = std::uint16_t(count + fieldUsages.size());
            if (kind != Kind::Output)
                break;
            for (std::size_t k = 0; k < fieldUsages.size(); ++k) {
                HidValueCaps v;
                v.usagePage = std::uint16_t(fieldUsages[k] >> 16);
                v.usage = std::uint16_t(fieldUsages[k] & 0xFFFF);
                v.reportId = g.reportId;
                v.reportCount = std::uint16_t(
                    k + 1 < fieldUsages.size() ? 1 : g.reportCount - (fieldUsages.size() - 1));
                current.result.outputValueCaps.push_back(v);
            }
            break;
        }
        default:
            break;
        }
        if (tag == 0x80 || tag == 0x90 || tag == 0xB0 || tag == 0xA0) {
            usages.clear();
            haveMinimum = false;
        }
    }
    return out;
}

} // namespace platform::linuxport
