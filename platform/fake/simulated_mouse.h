// The simulated mouse and receiver with which both programs run without the
// hardware: a filter driver whose controls are pressed by name, a HID system in
// which one receiver is plugged in and pairs a mouse a while after it entered
// pairing mode, and input and shell services that perform nothing and append one
// line per effect to a file instead.
#pragma once

#include "fake_filter_device.h"
#include "fake_hid.h"
#include "fake_input.h"
#include "fake_receiver.h"
#include "fake_shell.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::fake {

class SimulatedMouse : public FakeFilterDevice
{
public:
    // The names of the controls, in the order the mouse lists them: "middle-key",
    // "right-key", "side-up-key", "side-down-key" (pressed and released),
    // "wheel-up", "wheel-down", "side-wheel-left", "side-wheel-right" (one notch).
    static std::vector<std::string> controlNames();

    // Queues the records the filter driver gives for one use of the control: the
    // button bitmap with the key held, then without it; or the one wheel record.
    // False (nothing queued) for an unknown name, while the driver is not hooked,
    // or when its queue is full. Any thread.
    bool press(const std::string &control);
};

// A HID system with one receiver (vendor 0x2F6B, product 0x1813) plugged in,
// whose firmware pairs a mouse `pairDelayMs` after it entered pairing mode.
// Handles opened on it must not outlive it. Any thread.
class SimulatedReceiver : public FakeHidSystem
{
public:
    explicit SimulatedReceiver(std::int64_t pairDelayMs);
    FakeReceiver &firmware() { return m_firmware; }

private:
    FakeReceiver m_firmware;
};

// Where the recording services write: one line per effect, flushed at once, the
// file emptied when opened. A file that cannot be opened is left alone and the
// lines are dropped. Any thread.
class EffectLog
{
public:
    explicit EffectLog(const std::string &path);
    void append(const std::string &line);

private:
    std::mutex m_mutex;
    std::ofstream m_out;
};

// Records input as FakeInputInjector does, the latest kKeptEvents at least, and
// writes each event to the log as "key 0x11 0", "mouse 0x800 -120" or "pause 50".
class LoggingInputInjector : public FakeInputInjector
{
public:
    static constexpr std::size_t kKeptEvents = 256;
    explicit LoggingInputInjector(std::shared_ptr<EffectLog> log) : m_log(std::move(log)) {}
    void keyEvent(std::uint8_t virtualKey, std::uint32_t flags) override;
    void mouseEvent(std::uint32_t flags, std::int32_t data) override;
    void pause(int milliseconds) override;

private:
    void logLast();
    std::shared_ptr<EffectLog> m_log;
};

// Records the shell's work as FakeShell does and writes "open <file> <showCmd>",
// "special folder 0x<csidl>" or "toggle desktop" to the log.
class LoggingShell : public FakeShell
{
public:
    explicit LoggingShell(std::shared_ptr<EffectLog> log) : m_log(std::move(log)) {}
    void open(const std::string &file, int showCmd) override;
    void openSpecialFolder(int csidl) override;
    void toggleDesktop() override;

private:
    std::shared_ptr<EffectLog> m_log;
};

} // namespace platform::fake
