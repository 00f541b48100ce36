// The agent's client of the mouse filter driver: opens and arms the driver, reads
// one input record per driver signal on its own thread, turns records into button
// events and forwards them, on the main thread, to the event hub.
#pragma once

#include <QThread>

#include <atomic>
#include <cstdint>
#include <memory>

namespace platform {
class FilterDevice;
}
namespace agent {
class OpFunConfFile;
}

class USBDriver : public QThread
{
    Q_OBJECT
public:
    static constexpr std::uint32_t kMouseFilterMask = 0x04 | 0x02 | 0x20 | 0x40 | 0x10 | 0x08 | 0x80 | 0x100;
    static constexpr std::uint32_t kSemaphoreMaximum = 8000;

    explicit USBDriver(platform::FilterDevice &device, QObject *parent = nullptr);
    ~USBDriver() override;

    // Main thread, before start(): creates the semaphore, opens and hooks the
    // driver and sets the mouse filter. False when the driver is absent or refuses.
    bool open();

    // Main thread, after the event loop: disarms the driver and ends the read loop.
    // Does nothing when the thread is not running.
    void stop();

    bool setMouseFilter(std::uint32_t mask);
    // Whether the open driver still takes requests: sends the mouse filter again,
    // silently (it is asked every few seconds). False once the device has gone.
    bool stillAnswers();
    void close();
    bool setDriverDebug(std::uint32_t level);

    // The button-event code for a driver event code (-1 for unknown codes).
    static int msgTypeForKey(int key);

    // The driver event codes one record yields, given the previous button bitmap,
    // which it updates. Exposed for tests; also writes the loop's log lines.
    static QVector<int> decodeRecord(std::uint32_t record, std::uint32_t &previousBitmap);

signals:
    void sig_mouseClicked(int key);

public slots:
    void slot_mouseClicked(int key);

protected:
    void run() override;

private:
    std::atomic<int> m_stopRequest{0};
    platform::FilterDevice &m_device;
    bool m_settingsReady = false;
    std::unique_ptr<agent::OpFunConfFile> m_settings;
};
