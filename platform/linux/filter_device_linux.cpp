// The mouse filter on Linux: the receiver's mouse event device, found through
// udev by the receiver's USB ids, is read on a thread of its own; the records it
// yields wait in a queue (at most as many as the semaphore counts) until the
// driver thread reads them, and the semaphore is released once per record, as
// the Windows driver does. The reader also follows the receiver being plugged out
// and in again. When the virtual mouse cannot be made or the device cannot be
// taken, nothing is grabbed and the mouse keeps working as it is; the reason is
// logged once.
#include "evdev_filter.h"
#include "detail/counting_semaphore.h"
#include "udev_util.h"

#include <QDebug>
#include <QMutex>
#include <QSet>

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <libudev.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <set>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace linuxport {

namespace {

// The receiver's USB ids (the same as the receiver recognition of both programs
// and the udev rule in tools/udev use).
constexpr std::uint16_t kReceiverVendorId = 0x2F6B;
constexpr std::uint16_t kReceiverProductIds[] = {0x1812, 0x1813};

constexpr std::uint32_t kWheelUp = 0x101, kWheelDown = 0x1FF;
constexpr std::uint32_t kSideWheelRight = 0x201, kSideWheelLeft = 0x2FF;

// The key each button code drives in the record's bitmap (0: not one of them).
std::uint32_t keyBit(std::uint16_t code)
{
    switch (code) {
    case BTN_RIGHT:
        return 1u << 1;
    case BTN_MIDDLE:
        return 1u << 2;
    case BTN_SIDE:
    case BTN_BACK:
        return 1u << 3; // side down key
    case BTN_EXTRA:
    case BTN_FORWARD:
        return 1u << 4; // side up key
    default:
        return 0;
    }
}

void logOnce(const QString &line)
{
    static QMutex mutex;
    static QSet<QString> logged;
    QMutexLocker lock(&mutex);
    if (logged.contains(line))
        return;
    logged.insert(line);
    qWarning().noquote() << line;
}

} // namespace

bool RecordTranslator::handle(const input_event &e, bool filtering,
                              std::vector<std::uint32_t> &records)
{
    if (e.type == EV_KEY) {
        const std::uint32_t bit = keyBit(e.code);
        if (!bit || e.value == 2) // autorepeat of a held key changes nothing
            return bit && filtering;
        const std::uint32_t next = e.value ? (m_bitmap | bit) : (m_bitmap & ~bit);
        if (next != m_bitmap && filtering)
            records.push_back(next);
        m_bitmap = next;
        return filtering;
    }
    if (e.type != EV_REL || !filtering)
        return false;
    std::uint32_t positive = 0, negative = 0;
    switch (e.code) {
    case REL_WHEEL:
        positive = kWheelUp;
        negative = kWheelDown;
        break;
    case REL_HWHEEL:
        positive = kSideWheelRight;
        negative = kSideWheelLeft;
        break;
    case REL_WHEEL_HI_RES:
    case REL_HWHEEL_HI_RES:
        return true; // the notches above stand for these
    default:
        return false;
    }
    // A wheel turns a few notches per report; a device that claims far more is
    // cut to the cap (and INT_MIN has no int magnitude).
    const std::int64_t notches =
        std::min<std::int64_t>(std::llabs(std::int64_t(e.value)), kMaxNotchesPerEvent);
    records.insert(records.end(), std::size_t(notches), e.value > 0 ? positive : negative);
    return true;
}

void RecordTranslator::resync(const std::vector<int> &pressedCodes,
                              std::vector<std::uint32_t> &records)
{
    std::uint32_t pressed = 0;
    for (int code : pressedCodes)
        pressed |= keyBit(std::uint16_t(code));
    // One record per changed key, lowest key first, as events would have made them.
    for (std::uint32_t bit = 1u << 1; bit <= 1u << 4; bit <<= 1) {
        if ((pressed & bit) == (m_bitmap & bit))
            continue;
        m_bitmap ^= bit;
        records.push_back(m_bitmap);
    }
}

namespace {

class UinputPassThrough : public PassThrough
{
public:
    ~UinputPassThrough() override { destroy(); }

    bool take(int fd, std::string &why) override
    {
        if (libevdev_new_from_fd(fd, &m_source) < 0) {
            m_source = nullptr;
            why = "the receiver's mouse is not an input event device";
            return false;
        }
        const int made =
            libevdev_uinput_create_from_device(m_source, LIBEVDEV_UINPUT_OPEN_MANAGED, &m_uinput);
        if (made < 0) {
            m_uinput = nullptr;
            why = std::string("no virtual mouse can be made (/dev/uinput: ") +
                  std::strerror(-made) + "; install the udev rule: tools/install-udev-rule)";
            destroy();
            return false;
        }
        const int grabbed = libevdev_grab(m_source, LIBEVDEV_GRAB);
        if (grabbed < 0) {
            why = std::string("the receiver's mouse cannot be taken exclusively (") +
                  std::strerror(-grabbed) + ")";
            destroy();
            return false;
        }
        return true;
    }
    void write(const input_event &e) override
    {
        if (m_uinput)
            libevdev_uinput_write_event(m_uinput, e.type, e.code, e.value);
    }
    void release(int) override { destroy(); }

private:
    void destroy()
    {
        if (m_source)
            libevdev_grab(m_source, LIBEVDEV_UNGRAB);
        if (m_uinput)
            libevdev_uinput_destroy(m_uinput);
        if (m_source)
            libevdev_free(m_source);
        m_uinput = nullptr;
        m_source = nullptr;
    }

    libevdev *m_source = nullptr;
    libevdev_uinput *m_uinput = nullptr;
};

class EvdevFilterDevice : public FilterDevice
{
public:
    explicit EvdevFilterDevice(PassThroughFactory factory) : m_factory(std::move(factory)) {}
    ~EvdevFilterDevice() override { close(); }

    bool createSemaphore(std::uint32_t maximumCount) override
    {
        if (!m_semaphore) {
            m_semaphoreMax = maximumCount;
            std::atomic_store(&m_semaphore,
                              std::make_shared<detail::CountingSemaphore>(maximumCount));
        }
        return true;
    }
    std::uint32_t semaphoreToken() const override { return m_semaphore ? 1 : 0; }
    void releaseSemaphore() override
    {
        if (auto s = std::atomic_load(&m_semaphore))
            s->release();
    }
    void closeSemaphore() override { std::atomic_store(&m_semaphore, {}); }
    bool waitSemaphore() override
    {
        auto s = std::atomic_load(&m_semaphore);
        if (!s)
            return false;
        s->acquire();
        return true;
    }

    bool open() override
    {
        m_open = true;
        return true;
    }
    bool isOpen() const override { return m_open; }

    ControlResult control(std::uint32_t code, const std::uint32_t *input,
                          std::uint32_t *output) override
    {
        ControlResult r;
        if (!m_open) {
            r.error = 6; // ERROR_INVALID_HANDLE
            return r;
        }
        r.ok = true;
        switch (code) {
        case kIoctlWtHook:
            startReader();
            break;
        case kIoctlWtUnhook:
            stopReader();
            break;
        case kIoctlSetMsFilter:
            m_mask = input ? *input : 0;
            break;
        case kIoctlSetKbFilter:
        case kIoctlSetDebug:
            break;
        case kIoctlWtRead: {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_records.empty()) {
                r.ok = false;
                r.error = 259; // ERROR_NO_MORE_ITEMS
                break;
            }
            if (output)
                *output = m_records.front();
            m_records.pop_front();
            r.bytesReturned = 4;
            break;
        }
        default:
            r.ok = false;
            r.error = 1; // ERROR_INVALID_FUNCTION
        }
        return r;
    }

    void close() override
    {
        stopReader();
        m_open = false;
    }

    void debugOutput(const std::string &utf8) override
    {
        qDebug().noquote() << QString::fromStdString(utf8);
    }

private:
    void startReader()
    {
        if (m_reader.joinable())
            return;
        m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_wake < 0) {
            logOnce(QStringLiteral("mouse controls not taken: no event descriptor"));
            return;
        }
        m_reader = std::thread([this] { readLoop(); });
    }

    void stopReader()
    {
        if (!m_reader.joinable())
            return;
        const std::uint64_t one = 1;
        (void)!::write(m_wake, &one, sizeof one);
        m_reader.join();
        ::close(m_wake);
        m_wake = -1;
    }

    void queue(const std::vector<std::uint32_t> &records)
    {
        for (std::uint32_t record : records) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_records.size() >= m_semaphoreMax) {
                    logOnce(QStringLiteral("mouse controls: the agent is behind, events dropped"));
                    return;
                }
                m_records.push_back(record);
            }
            releaseSemaphore();
        }
    }

    // The receiver's mouse: an event node under the receiver's USB device that
    // udev marks as a mouse.
    static bool isReceiverMouse(udev_device *d)
    {
        const char *node = udev_device_get_devnode(d);
        const char *mouse = udev_device_get_property_value(d, "ID_INPUT_MOUSE");
        std::uint16_t vendorId = 0, productId = 0;
        return node && std::strncmp(node, "/dev/input/event", 16) == 0 && mouse &&
               std::strcmp(mouse, "1") == 0 && linuxport::usbIds(d, vendorId, productId) &&
               vendorId == kReceiverVendorId &&
               std::find(std::begin(kReceiverProductIds), std::end(kReceiverProductIds),
                         productId) != std::end(kReceiverProductIds);
    }

    struct Attached
    {
        int fd = -1;
        std::string node;
        std::unique_ptr<PassThrough> passThrough;
        RecordTranslator translator;
        std::vector<std::uint8_t> partial; // bytes of an event not read whole yet
        bool dropping = false;             // events were lost: skip to the next report
    };

    // `gone`: nodes reported removed, or that failed while being read, and not
    // reported added since; udev may still list them for a moment.
    void attach(udev *u, Attached &a, const std::set<std::string> &gone)
    {
        if (a.fd >= 0)
            return;
        std::string node;
        linuxport::forEachDevice(u, "input", [&](udev_device *d) {
            if (!isReceiverMouse(d) || gone.count(udev_device_get_devnode(d)))
                return false;
            node = udev_device_get_devnode(d);
            return true;
        });
        if (node.empty())
            return;
        const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (errno == EACCES || errno == EPERM)
                linuxport::reportNoAccess(node);
            return;
        }
        auto passThrough = m_factory ? m_factory() : nullptr;
        std::string why = "nothing passes the other events on";
        if (!passThrough || !passThrough->take(fd, why)) {
            logOnce(QStringLiteral("mouse controls not taken, the mouse works as it is: %1")
                        .arg(QString::fromStdString(why)));
            ::close(fd);
            return;
        }
        qInfo().noquote()
            << QStringLiteral("mouse controls taken from %1").arg(QString::fromStdString(node));
        a = Attached();
        a.fd = fd;
        a.node = node;
        a.passThrough = std::move(passThrough);
    }

    void detach(Attached &a)
    {
        if (a.fd < 0)
            return;
        a.passThrough->release(a.fd);
        ::close(a.fd);
        qInfo().noquote()
            << QStringLiteral("mouse controls given back: %1").arg(QString::fromStdString(a.node));
        a = Attached();
    }

    // Reads what the event device has; false when the device is gone.
    bool readEvents(Attached &a)
    {
        std::uint8_t buffer[64 * sizeof(input_event)];
        for (;;) {
            const std::size_t carried = a.partial.size();
            std::memcpy(buffer, a.partial.data(), carried);
            const ssize_t n = ::read(a.fd, buffer + carried, sizeof buffer - carried);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return errno == EAGAIN || errno == EWOULDBLOCK;
            if (n == 0)
                return false;
            const std::size_t total = carried + std::size_t(n);
            const std::size_t whole = total / sizeof(input_event) * sizeof(input_event);
            a.partial.assign(buffer + whole, buffer + total);
            std::vector<std::uint32_t> records;
            for (std::size_t at = 0; at < whole; at += sizeof(input_event)) {
                input_event e;
                std::memcpy(&e, buffer + at, sizeof e);
                handleEvent(a, e, records);
            }
            queue(records);
        }
    }

    void handleEvent(Attached &a, const input_event &e, std::vector<std::uint32_t> &records)
    {
        if (e.type == EV_SYN && e.code == SYN_DROPPED) {
            a.dropping = true;
            return;
        }
        if (a.dropping) {
            if (e.type == EV_SYN && e.code == SYN_REPORT) {
                a.dropping = false;
                resyncKeys(a, records);
            }
            return;
        }
        if (!a.translator.handle(e, m_mask != 0, records))
            a.passThrough->write(e);
    }

    static void resyncKeys(Attached &a, std::vector<std::uint32_t> &records)
    {
        std::uint8_t keys[KEY_MAX / 8 + 1] = {};
        if (::ioctl(a.fd, EVIOCGKEY(sizeof keys), keys) < 0)
            return;
        std::vector<int> pressed;
        for (int code : {BTN_RIGHT, BTN_MIDDLE, BTN_SIDE, BTN_EXTRA, BTN_FORWARD, BTN_BACK})
            if (keys[code / 8] & (1 << (code % 8)))
                pressed.push_back(code);
        a.translator.resync(pressed, records);
    }

    void readLoop()
    {
        linuxport::UdevPtr u = linuxport::newUdev();
        udev_monitor *monitor = u ? udev_monitor_new_from_netlink(u.get(), "udev") : nullptr;
        if (monitor) {
            udev_monitor_filter_add_match_subsystem_devtype(monitor, "input", nullptr);
            udev_monitor_enable_receiving(monitor);
        }
        Attached a;
        std::set<std::string> gone;
        attach(u.get(), a, gone);
        for (;;) {
            pollfd fds[3] = {{m_wake, POLLIN, 0},
                             {monitor ? udev_monitor_get_fd(monitor) : -1, POLLIN, 0},
                             {a.fd, POLLIN, 0}};
            if (::poll(fds, 3, -1) < 0 && errno != EINTR)
                break;
            if (fds[0].revents)
                break;
            if (fds[1].revents & POLLIN) {
                while (udev_device *d = udev_monitor_receive_device(monitor)) {
                    const char *action = udev_device_get_action(d);
                    const char *node = udev_device_get_devnode(d);
                    if (action && node && std::strcmp(action, "remove") == 0) {
                        gone.insert(node);
                        if (node == a.node)
                            detach(a);
                    } else if (action && node && std::strcmp(action, "add") == 0) {
                        gone.erase(node);
                    }
                    udev_device_unref(d);
                }
                attach(u.get(), a, gone);
            }
            if (a.fd >= 0 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR)) && !readEvents(a)) {
                // The receiver went away while being read; another one may
                // already have been announced while this node was held.
                gone.insert(a.node);
                detach(a);
                attach(u.get(), a, gone);
            }
        }
        detach(a);
        if (monitor)
            udev_monitor_unref(monitor);
    }

    PassThroughFactory m_factory;
    std::shared_ptr<detail::CountingSemaphore> m_semaphore;
    std::uint32_t m_semaphoreMax = 8000;
    std::atomic<bool> m_open{false};
    std::atomic<std::uint32_t> m_mask{0};
    std::mutex m_mutex;
    std::deque<std::uint32_t> m_records;
    std::thread m_reader;
    int m_wake = -1;
};

} // namespace

std::unique_ptr<PassThrough> createUinputPassThrough()
{
    return std::make_unique<UinputPassThrough>();
}

std::unique_ptr<FilterDevice> createEvdevFilterDevice(PassThroughFactory passThrough)
{
    return std::make_unique<EvdevFilterDevice>(std::move(passThrough));
}

} // namespace linuxport

std::unique_ptr<FilterDevice> createFilterDevice()
{
    return linuxport::createEvdevFilterDevice(linuxport::createUinputPassThrough);
}

} // namespace platform
