#include "receiverlink.h"

#include "hid.h"
#include "receiverid.h"
#include "workerwait.h"

#include <QDebug>
#include <QString>

#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr quint8 kAcknowledged = 1;
} // namespace

ReceiverLink::ReceiverLink(std::shared_ptr<platform::HidSystem> hid, WorkerWait &wait)
    : m_hid(std::move(hid)), m_wait(wait)
{
}

ReceiverLink::~ReceiverLink() = default;

bool ReceiverLink::GetPidVid()
{
    qDebug() << "GetPidVid";
    return receiverid::receiverPresent(*m_hid);
}

bool ReceiverLink::openReceiver(quint16 vendorId, quint16 productId)
{
    bool opened = false;
    receiverid::forEachInterface(*m_hid, [&](const std::string &path, platform::HidHandle &query,
                                             const platform::HidAttributes &a) {
        qDebug("Attributes: %x %x %x %x", a.vendorId, a.productId, vendorId, productId);
        if (a.vendorId != vendorId || a.productId != productId)
            return false;

        platform::HidCaps caps;
        const platform::HidCapsResult capsResult = query.caps(caps);
        if (capsResult == platform::HidCapsResult::NoPreparsedData) {
            qDebug() << "HidD_GetPreparsedData";
            return false;
        }
        if (capsResult == platform::HidCapsResult::InvalidPreparsedData) {
            qDebug() << "HidP_GetCaps";
            return false;
        }
        if (caps.inputReportByteLength == 0 || caps.outputReportByteLength == 0)
            return false;
        qDebug().noquote() << QStringLiteral("Usage: %1 UsagePage: %2 Feature report: %3 "
                                             "InputReportByteLength: %4 OutputReportByteLength: %5 "
                                             "FeatureReportByteLength: %6 NumberOutputValueCaps %7 "
                                             "NumberInputValueCaps %8")
                                  .arg(caps.usage, 0, 16)
                                  .arg(caps.usagePage, 0, 16)
                                  .arg(caps.numberFeatureValueCaps)
                                  .arg(caps.inputReportByteLength)
                                  .arg(caps.outputReportByteLength)
                                  .arg(caps.featureReportByteLength)
                                  .arg(caps.numberOutputValueCaps)
                                  .arg(caps.numberInputValueCaps);
        if (caps.numberInputValueCaps == 0 || caps.numberOutputValueCaps == 0) {
            qDebug() << "MyInputValueCaps  MyOutputValueCaps== 0";
            return false;
        }
        if (caps.usage != 0x000E && caps.usagePage != 0xFF00) {
            qDebug() << "Usage  UsagePage  error";
            return false;
        }
        std::vector<platform::HidValueCaps> valueCaps;
        const std::size_t wanted =
            std::min<std::size_t>(caps.numberOutputValueCaps, kMaxOutputValueCaps);
        if (!query.outputValueCaps(wanted, valueCaps)) {
            qDebug() << "HIDP_STATUS_INVALID_PREPARSED_DATA";
            return false;
        }
        Record record;
        for (const platform::HidValueCaps &v : valueCaps) {
            qDebug("out Usage: %d, UsagePage: %x", v.usage, v.usagePage);
            qDebug("out  report id:%x count:%d", v.reportId, v.reportCount);
            record.reportId = v.reportId;
            record.reportCount = v.reportCount;
        }
        record.handle = m_hid->open(path, platform::HidAccess::ReadWrite);
        // Replacing the record releases the interface it held (once no longer current).
        m_records[productId] = record;
        qDebug() << "讀訪問設備成功 读写指针创建成功\n";
        opened = true;
        return true;
    });
    return opened;
}

bool ReceiverLink::useReceiver(quint16 productId)
{
    const auto it = m_records.find(productId);
    if (it == m_records.end())
        return false;
    m_current = it->second;
    return true;
}

bool ReceiverLink::sendCommand(const quint8 *bytes, int length)
{
    if (!bytes || length < 0)
        return false;
    quint8 buffer[64] = {};
    buffer[0] = kReportId;
    std::memcpy(buffer + 1, bytes, std::size_t(std::min(length, kReportLength - 1)));
    std::uint32_t error = kErrorInvalidHandle;
    if (m_current.handle && m_current.handle->setOutputReport(buffer, kReportLength, error))
        return true;
    qDebug() << "HidD_SetFeature fail: " << error << m_current.reportId << m_current.reportCount;
    return false;
}

bool ReceiverLink::readReply(quint8 *bytes, int length)
{
    if (!bytes || length < 0)
        return false;
    length = std::min(length, kReportLength);
    quint8 buffer[100] = {};
    buffer[0] = kReportId;
    std::memcpy(buffer + 1, bytes, std::size_t(std::min(length, kReportLength - 1)));
    std::uint32_t error = kErrorInvalidHandle;
    if (!m_current.handle || !m_current.handle->getInputReport(buffer, kReportLength, error)) {
        qDebug("HidD_GetInputReport Failed, Error Code %u\n", unsigned(error));
        return false;
    }
    std::memcpy(bytes, buffer, std::size_t(length));
    return true;
}

ReceiverLink::PollResult ReceiverLink::poll(quint8 *buffer, int rounds, int waitMs, int readLength)
{
    PollResult result;
    for (int round = 0; round < rounds; ++round) {
        if (buffer[0] == kAcknowledged) {
            result.acknowledged = true;
            break;
        }
        if (!m_wait.sleep(waitMs))
            break; // abandoned: the caller drops the result
        if (readReply(buffer, readLength))
            result.anyRead = true;
    }
    return result;
}

quint8 ReceiverLink::queryMode()
{
    quint8 buffer[3] = {0xA7, 0, 0};
    sendCommand(buffer, 1);
    poll(buffer, 3, 20, 2);
    qDebug("CurrentMode0 = 0x%x\n", buffer[0]);
    qDebug("CurrentMode = 0x%x\n", buffer[1]);
    return buffer[0] != 0 ? buffer[1] : 0;
}

bool ReceiverLink::enterPairing()
{
    const quint8 mode = queryMode();
    if (mode != kModeIdle)
        return mode == kModePairing;
    m_wait.sleep(10);
    quint8 buffer[3] = {0xA0, 0x81, 0x01};
    sendCommand(buffer, 3);
    poll(buffer, 5, 50, 1);
    return buffer[0] == kAcknowledged;
}

bool ReceiverLink::readPairState(int &state)
{
    state = 0;
    quint8 buffer[3] = {0xA1, 0x01, 0};
    sendCommand(buffer, 2);
    const PollResult r = poll(buffer, 5, 20, 3);
    // Without a single reply the buffer still holds the command itself, whose
    // second byte would read as "paired": no reply is no state.
    const bool answered = r.acknowledged || (r.anyRead && buffer[0] != 0);
    if (answered) {
        if (buffer[1] == 1)
            state |= kStatePaired;
        if (buffer[2] == 1)
            state |= kStateSecondBit;
    }
    qDebug() << "check" << state;
    return answered;
}

bool ReceiverLink::confirmPairing()
{
    quint8 buffer[2] = {0xA1, 0x84};
    sendCommand(buffer, 2);
    poll(buffer, 5, 20, 1);
    m_wait.sleep(20);
    return buffer[0] == kAcknowledged;
}
