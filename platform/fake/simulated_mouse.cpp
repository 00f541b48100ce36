#include "simulated_mouse.h"

#include <array>
#include <cstdio>

namespace platform::fake {

namespace {

constexpr std::uint32_t kNoButton = 0;

struct Control
{
    const char *name;
    std::uint32_t record; // the button's bit in the bitmap, or the wheel record
    bool isKey;
};

// The filter driver's records: bit 1 right, bit 2 middle, bit 3 side down and
// bit 4 side up of the button bitmap; 0x1xx the middle wheel, 0x2xx the side
// wheel, 0x01 one way and 0xFF the other.
constexpr std::array<Control, 8> kControls = {{
    {"middle-key", 1u << 2, true},
    {"right-key", 1u << 1, true},
    {"side-up-key", 1u << 4, true},
    {"side-down-key", 1u << 3, true},
    {"wheel-up", 0x101, false},
    {"wheel-down", 0x1FF, false},
    {"side-wheel-left", 0x2FF, false},
    {"side-wheel-right", 0x201, false},
}};

} // namespace

std::vector<std::string> SimulatedMouse::controlNames()
{
    std::vector<std::string> names;
    for (const Control &c : kControls)
        names.emplace_back(c.name);
    return names;
}

bool SimulatedMouse::press(const std::string &control)
{
    // A simulated mouse serves a program for hours: keep only the requests since
    // the previous press, not every read of the run.
    clearRequests();
    for (const Control &c : kControls) {
        if (control != c.name)
            continue;
        if (!c.isKey)
            return pushRecord(c.record);
        return pushRecord(c.record) && pushRecord(kNoButton);
    }
    return false;
}

SimulatedReceiver::SimulatedReceiver(std::int64_t pairDelayMs)
{
    m_firmware.setPairDelay(pairDelayMs);
    addReceiverDevice(*this, &m_firmware, 0x1813);
}

EffectLog::EffectLog(const std::string &path) : m_out(path, std::ios::out | std::ios::trunc) {}

void EffectLog::append(const std::string &line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_out)
        m_out << line << std::endl;
}

void LoggingInputInjector::keyEvent(std::uint8_t virtualKey, std::uint32_t flags)
{
    FakeInputInjector::keyEvent(virtualKey, flags);
    logLast();
}

void LoggingInputInjector::mouseEvent(std::uint32_t flags, std::int32_t data)
{
    FakeInputInjector::mouseEvent(flags, data);
    logLast();
}

void LoggingInputInjector::pause(int milliseconds)
{
    FakeInputInjector::pause(milliseconds);
    logLast();
}

void LoggingInputInjector::logLast()
{
    m_log->append(events().back().describe());
    // The file is the record; memory keeps only the latest events of a long run.
    if (events().size() >= kKeptEvents)
        clear();
}

void LoggingShell::open(const std::string &file, int showCmd)
{
    FakeShell::open(file, showCmd);
    m_log->append("open " + file + " " + std::to_string(showCmd));
}

void LoggingShell::openSpecialFolder(int csidl)
{
    FakeShell::openSpecialFolder(csidl);
    char text[32];
    std::snprintf(text, sizeof text, "special folder 0x%X", unsigned(csidl));
    m_log->append(text);
}

void LoggingShell::toggleDesktop()
{
    FakeShell::toggleDesktop();
    m_log->append("toggle desktop");
}

} // namespace platform::fake
