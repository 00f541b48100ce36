#include "fake_receiver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace platform::fake {

FakeReceiver::FakeReceiver(Clock clock) : m_clock(std::move(clock))
{
    if (!m_clock) {
        m_clock = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        };
    }
}

bool FakeReceiver::pairedLocked() const
{
    if (!m_pairingSince || !m_pairDelay)
        return false;
    return m_clock() - *m_pairingSince >= *m_pairDelay;
}

void FakeReceiver::setReplyLocked(std::vector<std::uint8_t> data)
{
    m_reply.assign(kReportLength, 0);
    m_reply[0] = m_acknowledges ? 1 : kReportId;
    for (std::size_t i = 0; i < data.size() && i + 1 < kReportLength; ++i)
        m_reply[i + 1] = data[i];
}

bool FakeReceiver::onOutputReport(const std::vector<std::uint8_t> &report, std::uint32_t &error)
{
    std::vector<std::uint8_t> command;
    CommandHook hook;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_failingWrites != 0) {
            if (m_failingWrites > 0)
                --m_failingWrites;
            error = kWriteError;
            return false;
        }
        if (report.size() != kReportLength || report[0] != kReportId) {
            error = kBadReport;
            return false;
        }
        // The command is the bytes up to the trailing zeros of the report.
        std::size_t end = report.size();
        while (end > 1 && report[end - 1] == 0)
            --end;
        command.assign(report.begin() + 1, report.begin() + long(end));
        m_commands.push_back(command);

        const auto is = [&](std::initializer_list<std::uint8_t> bytes) {
            return command == std::vector<std::uint8_t>(bytes);
        };
        if (is({0xA7})) {
            setReplyLocked({m_mode});
        } else if (is({0xA0, 0x81, 0x01})) {
            if (m_mode == kModeIdle && m_acceptsPairing) {
                m_mode = kModePairing;
                m_pairingSince = m_clock();
                m_confirmed = false;
                setReplyLocked({});
            } else {
                m_reply.assign(kReportLength, 0); // refused: no acknowledgement
            }
        } else if (is({0xA1, 0x01})) {
            const bool paired = m_mode == kModePairing && pairedLocked();
            setReplyLocked({std::uint8_t(paired ? m_stateByte : 0),
                            std::uint8_t(m_secondBit ? m_stateByte : 0)});
        } else if (is({0xA1, 0x84})) {
            if (m_mode == kModePairing && pairedLocked()) {
                m_confirmed = true;
                if (m_returnsToIdle) {
                    m_mode = kModeIdle;
                    m_pairingSince.reset();
                }
            }
            setReplyLocked({});
        } else {
            m_reply.assign(kReportLength, 0); // unknown command: no reply
        }
        hook = m_hook;
    }
    if (hook)
        hook(command);
    return true;
}

bool FakeReceiver::onInputReport(std::vector<std::uint8_t> &report, std::uint32_t &error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_reads;
    if (m_failingReads != 0) {
        if (m_failingReads > 0)
            --m_failingReads;
        ++m_failedReads;
        error = kReadError;
        return false;
    }
    if (report.size() != kReportLength) {
        ++m_failedReads;
        error = kBadReport;
        return false;
    }
    if (m_missingReplies > 0 || m_reply.empty()) {
        if (m_missingReplies > 0)
            --m_missingReplies;
        std::fill(report.begin(), report.end(), 0);
        return true;
    }
    std::copy(m_reply.begin(), m_reply.end(), report.begin());
    return true;
}

void FakeReceiver::setMode(std::uint8_t mode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mode = mode;
    if (mode == kModePairing && !m_pairingSince)
        m_pairingSince = m_clock();
}

void FakeReceiver::setAcknowledges(bool acknowledges)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_acknowledges = acknowledges;
}

void FakeReceiver::setAcceptsPairing(bool accepts)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_acceptsPairing = accepts;
}

void FakeReceiver::setPairDelay(std::optional<std::int64_t> milliseconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pairDelay = milliseconds;
}

void FakeReceiver::setReturnsToIdleAfterConfirm(bool returns)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_returnsToIdle = returns;
}

void FakeReceiver::setStateByteValue(std::uint8_t value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stateByte = value;
}

void FakeReceiver::setSecondStateBit(bool set)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_secondBit = set;
}

void FakeReceiver::setFailingReads(int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failingReads = count;
}

void FakeReceiver::setFailingWrites(int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failingWrites = count;
}

void FakeReceiver::setMissingReplies(int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_missingReplies = count;
}

void FakeReceiver::setCommandHook(CommandHook hook)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hook = std::move(hook);
}

std::uint8_t FakeReceiver::mode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mode;
}

bool FakeReceiver::mousePaired() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_confirmed || pairedLocked();
}

std::vector<std::vector<std::uint8_t>> FakeReceiver::commands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands;
}

int FakeReceiver::commandCount(const std::vector<std::uint8_t> &command) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(std::count(m_commands.begin(), m_commands.end(), command));
}

int FakeReceiver::readCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_reads;
}

int FakeReceiver::failedReadCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failedReads;
}

std::string hidInterfacePath(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber,
                             const std::string &serial)
{
    char buffer[160];
    std::snprintf(buffer, sizeof(buffer),
                  "\\\\?\\hid#vid_%04x&pid_%04x&mi_%02d#7&%s&0&0000#"
                  "{4d1e55b2-f16f-11cf-88cb-001111000030}",
                  vendorId, productId, interfaceNumber, serial.c_str());
    return buffer;
}

std::string addReceiverDevice(FakeHidSystem &system, FakeReceiver *firmware,
                              std::uint16_t productId, const std::string &serial)
{
    const std::uint16_t vendor = 0x2F6B;

    FakeHidInterface mouse;
    mouse.path = hidInterfacePath(vendor, productId, 0, serial);
    mouse.attributes = {vendor, productId, 0x0100};
    mouse.caps.usagePage = 0x0001;
    mouse.caps.usage = 0x0002;
    mouse.caps.inputReportByteLength = 8;
    mouse.caps.numberInputValueCaps = 3;
    system.addInterface(mouse);

    FakeHidInterface keyboard;
    keyboard.path = hidInterfacePath(vendor, productId, 1, serial);
    keyboard.attributes = {vendor, productId, 0x0100};
    keyboard.caps.usagePage = 0x0001;
    keyboard.caps.usage = 0x0006;
    keyboard.caps.inputReportByteLength = 9;
    keyboard.caps.outputReportByteLength = 2;
    keyboard.caps.numberInputValueCaps = 0;
    keyboard.caps.numberOutputValueCaps = 0;
    system.addInterface(keyboard);

    FakeHidInterface commands;
    commands.path = hidInterfacePath(vendor, productId, 2, serial);
    commands.attributes = {vendor, productId, 0x0100};
    commands.caps.usagePage = 0xFF00;
    commands.caps.usage = 0x0001;
    commands.caps.inputReportByteLength = FakeReceiver::kReportLength;
    commands.caps.outputReportByteLength = FakeReceiver::kReportLength;
    commands.caps.numberInputValueCaps = 1;
    commands.caps.numberOutputValueCaps = 1;
    commands.outputValueCaps = {{0xFF00, 0x0001, FakeReceiver::kReportId, 31}};
    system.addInterface(commands, firmware);
    return commands.path;
}

} // namespace platform::fake
