// The link to the mouse's USB receiver over HID: finding the receiver, opening its
// vendor-defined interface and the four commands with their polls and result
// rules. Every command blocks the calling thread for its polling time.
#pragma once

#include "receiverid.h"

#include <QtGlobal>

#include <map>
#include <memory>

namespace platform {
class HidHandle;
class HidSystem;
} // namespace platform
class WorkerWait;

class ReceiverLink
{
public:
    static constexpr quint16 kVendorId = receiverid::kVendorId;
    static constexpr quint16 kProductFirst = receiverid::kProductIdFirst;
    static constexpr quint16 kProductSecond = receiverid::kProductIdSecond;
    static constexpr quint8 kReportId = 0xBA;
    static constexpr int kReportLength = 32;
    static constexpr quint8 kModeIdle = 0xA0;    // accepts the pairing command
    static constexpr quint8 kModePairing = 0xA1; // already pairing
    static constexpr int kMaxOutputValueCaps = 10;

    // Pair-state bits of readPairState().
    static constexpr int kStatePaired = 1;
    static constexpr int kStateSecondBit = 2;

    // `wait` must outlive the link.
    ReceiverLink(std::shared_ptr<platform::HidSystem> hid, WorkerWait &wait);
    ~ReceiverLink();

    // Whether a receiver (vendor 0x2F6B, product 0x1812 to 0x1813) is present. Uses
    // only its own query handles, so it may run on any thread at any time.
    bool GetPidVid();

    // Finds the interface of the device with exactly these ids that takes commands
    // (report lengths, value capabilities, usage 0x000E or usage page 0xFF00), opens
    // it for reading and writing and stores it under the product id, releasing the
    // record it replaces. False when no interface qualifies.
    bool openReceiver(quint16 vendorId, quint16 productId);

    // Makes the record stored under `productId` the one commands use. False (and
    // nothing changed) when there is none.
    bool useReceiver(quint16 productId);

    // One command report: 0xBA, then `length` bytes, zero-filled to 32 bytes.
    bool sendCommand(const quint8 *bytes, int length);
    // One input report; on success its first `length` bytes (report byte 0 first)
    // replace `bytes`, on failure `bytes` stay as they were.
    bool readReply(quint8 *bytes, int length);

    // The receiver's mode, 0 when it gave none.
    quint8 queryMode();
    // Puts the receiver into pairing mode; true when it is in pairing mode.
    bool enterPairing();
    // The pair state (bit 0: a mouse paired; bit 1: the second state bit). False
    // when the receiver gave no state.
    bool readPairState(int &state);
    // Confirms a pairing; true when the receiver acknowledged it.
    bool confirmPairing();

private:
    struct Record
    {
        std::shared_ptr<platform::HidHandle> handle;
        quint32 reportId = 0;
        quint32 reportCount = 0;
    };

    struct PollResult
    {
        bool acknowledged = false; // a round saw the acknowledgement in byte 0
        bool anyRead = false;      // at least one read succeeded
    };
    PollResult poll(quint8 *buffer, int rounds, int waitMs, int readLength);

    std::shared_ptr<platform::HidSystem> m_hid;
    WorkerWait &m_wait;
    std::map<quint16, Record> m_records;
    Record m_current;
};
