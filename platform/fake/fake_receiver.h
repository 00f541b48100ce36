// A simulated USB receiver of the mouse: the firmware that answers the four
// commands of the configurator's pairing link, and the HID interfaces under which
// the receiver appears.
//
// Wire format: every command and reply is a 32-byte report with report id 0xBA in
// byte 0. Commands (the bytes after the report id):
//   A7         read the mode      reply: ack, mode
//   A0 81 01   enter pairing mode reply: ack (only accepted in mode 0xA0)
//   A1 01      read pair state    reply: ack, 1 when a mouse has paired, second state bit
//   A1 84      confirm pairing    reply: ack; a paired receiver returns to mode 0xA0
// The acknowledgement in byte 0 of a reply is 1, or the report id 0xBA for a
// receiver that does not acknowledge. An input report asked for before any command
// has all bytes 0.
#pragma once

#include "fake_hid.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace platform::fake {

class FakeReceiver : public FakeHidFirmware
{
public:
    static constexpr std::uint8_t kReportId = 0xBA;
    static constexpr std::size_t kReportLength = 32;
    static constexpr std::uint8_t kModeIdle = 0xA0;
    static constexpr std::uint8_t kModePairing = 0xA1;
    static constexpr std::uint32_t kReadError = 31; // ERROR_GEN_FAILURE
    static constexpr std::uint32_t kWriteError = 31;
    static constexpr std::uint32_t kBadReport = 87; // ERROR_INVALID_PARAMETER

    // Milliseconds on the clock the pairing delay is measured with.
    using Clock = std::function<std::int64_t()>;
    // Called after each accepted command with its bytes (without the report id),
    // on the thread that sent it, with no lock held.
    using CommandHook = std::function<void(const std::vector<std::uint8_t> &command)>;

    // `clock` defaults to the steady clock.
    explicit FakeReceiver(Clock clock = {});

    bool onOutputReport(const std::vector<std::uint8_t> &report, std::uint32_t &error) override;
    bool onInputReport(std::vector<std::uint8_t> &report, std::uint32_t &error) override;

    // Behaviour. All may be changed at any time, from any thread.
    void setMode(std::uint8_t mode);
    void setAcknowledges(bool acknowledges); // default true
    void setAcceptsPairing(bool accepts);    // A0 81 01 accepted in 0xA0; default true
    // A mouse pairs this long after pairing mode was entered; nullopt: never.
    // Default: at once (0).
    void setPairDelay(std::optional<std::int64_t> milliseconds);
    void setReturnsToIdleAfterConfirm(bool returns); // default true
    void setSecondStateBit(bool set);                // byte 2 of the pair-state reply
    // The value of a set byte of the pair-state reply; default 1, the only value
    // the receiver's firmware sends.
    void setStateByteValue(std::uint8_t value);
    // The next `count` reads (or writes) fail; -1: all of them until changed.
    void setFailingReads(int count);
    void setFailingWrites(int count);
    // The next `count` reads find no reply: every byte 0.
    void setMissingReplies(int count);
    void setCommandHook(CommandHook hook);

    // What happened.
    std::uint8_t mode() const;
    bool mousePaired() const;
    std::vector<std::vector<std::uint8_t>> commands() const;
    int commandCount(const std::vector<std::uint8_t> &command) const;
    int readCount() const;
    int failedReadCount() const;

private:
    bool pairedLocked() const;
    void setReplyLocked(std::vector<std::uint8_t> data);

    mutable std::mutex m_mutex;
    Clock m_clock;
    std::uint8_t m_mode = kModeIdle;
    bool m_acknowledges = true;
    bool m_acceptsPairing = true;
    std::optional<std::int64_t> m_pairDelay = 0;
    bool m_returnsToIdle = true;
    bool m_secondBit = false;
    std::uint8_t m_stateByte = 1;
    int m_failingReads = 0;
    int m_failingWrites = 0;
    int m_missingReplies = 0;
    std::optional<std::int64_t> m_pairingSince;
    bool m_confirmed = false;
    std::vector<std::uint8_t> m_reply;
    std::vector<std::vector<std::uint8_t>> m_commands;
    int m_reads = 0;
    int m_failedReads = 0;
    CommandHook m_hook;
};

// The interfaces of one receiver as the system lists them: a mouse collection, a
// keyboard collection and the vendor-defined collection (usage page 0xFF00) that
// takes the commands, all with vendor id 0x2F6B and `productId`. `firmware` (may
// be null) answers the vendor-defined interface. `serial` makes paths of several
// receivers distinct. Returns the path of the command interface.
std::string addReceiverDevice(FakeHidSystem &system, FakeReceiver *firmware,
                              std::uint16_t productId, const std::string &serial = "1");

// The path a device interface of that vendor, product and interface number has.
std::string hidInterfacePath(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber,
                             const std::string &serial = "1");

} // namespace platform::fake
