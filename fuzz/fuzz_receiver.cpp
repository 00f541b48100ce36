// The receiver: its HID report descriptor as the Linux backend parses it, and its
// replies to the four commands. Input: a descriptor length byte, the descriptor,
// then the receiver's input reports, 32 bytes each (a short last one is cut off).
// Properties: each collection lists as many output value capabilities as it
// counts; the pair state holds only its two bits, and none without a reply.
#include "fuzz.h"

#include "fake_hid.h"
#include "hid_descriptor.h"
#include "receiverlink.h"
#include "workerwait.h"

#include <deque>
#include <memory>
#include <vector>

namespace {

class NoWait : public WorkerWait
{
public:
    bool sleep(int) override { return true; }
    void interrupt() override {}
    void reset() override {}
    bool isInterrupted() const override { return false; }
};

// Plays back the input's reports; fails reads once they are used up.
class Replies : public platform::fake::FakeHidFirmware
{
public:
    std::deque<std::vector<std::uint8_t>> reports;
    bool onOutputReport(const std::vector<std::uint8_t> &, std::uint32_t &) override { return true; }
    bool onInputReport(std::vector<std::uint8_t> &report, std::uint32_t &error) override
    {
        if (reports.empty()) {
            error = 1;
            return false;
        }
        report = reports.front();
        reports.pop_front();
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::startQt(); // for its quiet log
    fuzz::Input in(data, size);
    std::vector<std::uint8_t> descriptor(in.byte());
    for (std::uint8_t &b : descriptor)
        b = in.byte();
    for (const auto &collection :
         platform::linuxport::parseReportDescriptor(descriptor.data(), descriptor.size()))
        FUZZ_CHECK(collection.caps.numberOutputValueCaps == collection.outputValueCaps.size());

    Replies firmware;
    while (in.left() >= std::size_t(ReceiverLink::kReportLength)) {
        std::vector<std::uint8_t> report(ReceiverLink::kReportLength);
        for (std::uint8_t &b : report)
            b = in.byte();
        firmware.reports.push_back(report);
    }
    auto hid = std::make_shared<platform::fake::FakeHidSystem>();
    platform::fake::FakeHidInterface commands;
    commands.path = "receiver";
    commands.attributes = {ReceiverLink::kVendorId, ReceiverLink::kProductFirst, 0x0100};
    commands.caps.usagePage = 0xFF00;
    commands.caps.usage = 0x0001;
    commands.caps.inputReportByteLength = ReceiverLink::kReportLength;
    commands.caps.outputReportByteLength = ReceiverLink::kReportLength;
    commands.caps.numberInputValueCaps = 1;
    commands.caps.numberOutputValueCaps = 1;
    commands.outputValueCaps = {{0xFF00, 0x0001, ReceiverLink::kReportId, 31}};
    hid->addInterface(commands, &firmware);
    NoWait wait;
    ReceiverLink link(hid, wait);
    FUZZ_CHECK(link.openReceiver(ReceiverLink::kVendorId, ReceiverLink::kProductFirst));
    link.queryMode();
    link.enterPairing();
    int state = -1;
    const bool answered = link.readPairState(state);
    FUZZ_CHECK((state & ~(ReceiverLink::kStatePaired | ReceiverLink::kStateSecondBit)) == 0);
    FUZZ_CHECK(answered || state == 0);
    link.confirmPairing();
    return 0;
}
