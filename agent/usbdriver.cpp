#include "usbdriver.h"

#include "agentconffile.h"
#include "agentlog.h"
#include "controls.h"
#include "filter_device.h"
#include "singletonglobalmousehook.h"

#include <QDebug>
#include <QVector>

using platform::ControlResult;

USBDriver::USBDriver(platform::FilterDevice &device, QObject *parent)
    : QThread(parent), m_device(device)
{
    connect(this, &USBDriver::sig_mouseClicked, this, &USBDriver::slot_mouseClicked);
}

USBDriver::~USBDriver() = default;

bool USBDriver::open()
{
    m_stopRequest = 0;
    m_device.createSemaphore(kSemaphoreMaximum);
    if (!m_device.open()) {
        m_device.debugOutput("Vl Wireless Drv: Open driver failed.");
        return false;
    }
    const std::uint32_t token = m_device.semaphoreToken();
    if (!m_device.control(platform::kIoctlWtHook, &token, nullptr).ok) {
        qDebug() << "USBDriver:IOCTL_WT_HOOK FAIL";
        m_device.close();
        return false;
    }
    qDebug() << "USBDriver:IOCTL_WT_HOOK OK";
    setMouseFilter(0);
    setMouseFilter(kMouseFilterMask);
    return true;
}

bool USBDriver::setMouseFilter(std::uint32_t mask)
{
    if (!m_device.isOpen())
        return false;
    const ControlResult r = m_device.control(platform::kIoctlSetMsFilter, &mask, nullptr);
    if (r.ok) {
        qDebug("USBDriver:IOCTL_SET_MSFILTER：%ld  %ld OK", long(mask), long(r.bytesReturned));
        return true;
    }
    qDebug("USBDriver:IOCTL_SET_MSFILTER FAIL\r\n");
    return false;
}

bool USBDriver::stillAnswers()
{
    const std::uint32_t mask = kMouseFilterMask;
    return m_device.isOpen() && m_device.control(platform::kIoctlSetMsFilter, &mask, nullptr).ok;
}

bool USBDriver::setDriverDebug(std::uint32_t level)
{
    qDebug("VL: SetDebug, dwDebug=%ld\n", long(level));
    const ControlResult r = m_device.control(platform::kIoctlSetDebug, &level, nullptr);
    if (!r.ok)
        qDebug("ERROR: IOCTL_SET_DEBUG failed, error=%ld\n", long(r.error));
    return r.ok;
}

void USBDriver::close()
{
    if (!m_device.isOpen())
        return;
    const std::uint32_t zero = 0;
    ControlResult r = m_device.control(platform::kIoctlSetMsFilter, &zero, nullptr);
    if (!r.ok)
        qDebug("ERROR: IOCTL_SET_MSFILTER failed, error=%ld\n", long(r.error));
    r = m_device.control(platform::kIoctlSetKbFilter, &zero, nullptr);
    if (!r.ok)
        qDebug("ERROR: IOCTL_SET_KBFILTER failed, error=%ld\n", long(r.error));
    r = m_device.control(platform::kIoctlWtUnhook, nullptr, nullptr);
    if (!r.ok)
        qDebug("ERROR: IOCTL_WT_UNHOOK failed, error=%ld\n", long(r.error));
    qDebug("IOCTL_WT_UNHOOK-------------------------%ld--\n", long(r.bytesReturned));
    setDriverDebug(0);
    m_device.close();
    QThread::msleep(20);
}

void USBDriver::stop()
{
    if (!isRunning())
        return;
    setMouseFilter(0);
    close();
    m_stopRequest = 1;
    m_device.releaseSemaphore();
    m_device.closeSemaphore();
}

int USBDriver::msgTypeForKey(int key)
{
    static const int table[] = {-1, 8, 9, 0, 1, 6, 7, 4, 5, 11, 10, 3, 2};
    if (key < 1 || key > 12)
        return -1;
    return table[key];
}

QVector<int> USBDriver::decodeRecord(std::uint32_t record, std::uint32_t &previousBitmap)
{
    QVector<int> keys;
    switch (record) {
    case 0x101:
        qCDebug(lcAgentEvents) << "DeviceMessageEvent:滚轮上滚\r\n";
        keys << 9;
        break;
    case 0x1FF:
        qCDebug(lcAgentEvents) << "DeviceMessageEvent:滚轮下滚\r\n";
        keys << 10;
        break;
    case 0x201:
        qCDebug(lcAgentEvents) << "DeviceMessageEvent:滚轮右滚\r\n";
        keys << 11;
        break;
    case 0x2FF:
        qCDebug(lcAgentEvents) << "DeviceMessageEvent:滚轮左滚\r\n";
        keys << 12;
        break;
    default:
        break;
    }
    if (record <= 0xFF) {
        for (int i = 1; i <= 4; ++i) {
            const std::uint32_t bit = 1u << i;
            if ((record & bit) == (previousBitmap & bit))
                continue;
            if (record & bit) {
                qCDebug(lcAgentEvents, "按下 %d", i);
                keys << 2 * i - 1;
            } else {
                qCDebug(lcAgentEvents, "松开 %d", i);
                keys << 2 * i;
            }
        }
        previousBitmap = record;
    }
    qCDebug(lcAgentEvents, "lDataRead %lx", static_cast<unsigned long>(record));
    return keys;
}

void USBDriver::run()
{
    std::uint32_t previous = 0;
    for (;;) {
        if (m_stopRequest) {
            qDebug() << "Thread exit!";
            return;
        }
        if (!m_device.waitSemaphore()) {
            // No semaphore (it could not be created, or stop() has closed it).
            QThread::msleep(10);
            continue;
        }
        if (!m_device.isOpen()) {
            qDebug() << "g_hDevice NULL!";
            continue;
        }
        const std::uint32_t request = 0;
        std::uint32_t record = 0;
        if (!m_device.control(platform::kIoctlWtRead, &request, &record).ok) {
            qDebug() << "USBDriver:IOCTL_WT_READ FAIL";
            continue;
        }
        for (int key : decodeRecord(record, previous))
            emit sig_mouseClicked(key);
    }
}

void USBDriver::slot_mouseClicked(int key)
{
    // The middle key's release logs its entry's index; the settings are read for
    // that line only, so only when its category is on.
    if (key == 4 && lcAgentEvents().isDebugEnabled()) {
        if (!m_settingsReady) {
            m_settings = std::make_unique<agent::OpFunConfFile>();
            m_settingsReady = true;
        }
        const auto index = m_settings->catalogueIndex(controls::MidKey);
        qCDebug(lcAgentEvents) << "Mid_key index" << (index ? *index : -1);
    }
    SingletonGlobalMouseHook::instance()->emitMouseHookParam(msgTypeForKey(key), -1);
}
