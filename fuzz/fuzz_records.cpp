// The mouse's event records: the Linux translator from input events to driver
// records, and the agent's decoding of driver records into control events.
// Input: 8-byte events (type, code: 16 bits each; value: 32 bits, little-endian);
// a leading byte with bit 0 set means the filter is on. Properties: one event
// makes at most the cap of records; every record is a key bitmap (bits 1 to 4)
// or one of the four wheel records; the agent turns every record, also one the
// translator never makes, into events with a control code (0 to 11).
#include "fuzz.h"

#include "evdev_filter.h"
#include "usbdriver.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::startQt();
    fuzz::Input in(data, size);
    const bool filtering = in.byte() & 1;
    platform::linuxport::RecordTranslator translator;
    std::uint32_t agentBitmap = 0;
    while (in.left() >= 8) {
        std::uint8_t raw[8];
        for (std::uint8_t &b : raw)
            b = in.byte();
        input_event e{};
        std::memcpy(&e.type, raw, 2);
        std::memcpy(&e.code, raw + 2, 2);
        std::memcpy(&e.value, raw + 4, 4);
        std::vector<std::uint32_t> records;
        translator.handle(e, filtering, records);
        FUZZ_CHECK(records.size() <= std::size_t(platform::linuxport::RecordTranslator::kMaxNotchesPerEvent));
        FUZZ_CHECK(filtering || records.empty());
        FUZZ_CHECK((translator.bitmap() & ~0x1Eu) == 0);
        // The raw value stands for a record from the Windows driver as well.
        records.push_back(std::uint32_t(e.value));
        for (std::uint32_t record : records) {
            for (int key : USBDriver::decodeRecord(record, agentBitmap)) {
                const int code = USBDriver::msgTypeForKey(key);
                FUZZ_CHECK(code >= 0 && code <= 11);
            }
        }
    }
    return 0;
}
