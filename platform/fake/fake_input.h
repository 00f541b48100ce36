// Recorded synthetic input: every key event, mouse event and pause in call order.
#pragma once

#include "input.h"

#include <string>
#include <vector>

namespace platform::fake {

struct InputEvent
{
    enum class Kind { Key, Mouse, Pause };
    Kind kind = Kind::Key;
    std::uint32_t code = 0;  // virtual key, mouse flags, or milliseconds
    std::uint32_t flags = 0; // key flags (0 for the others)
    std::int32_t data = 0;   // mouse data (0 for the others)

    static InputEvent key(std::uint8_t vk, std::uint32_t flags);
    static InputEvent mouse(std::uint32_t flags, std::int32_t data);
    static InputEvent pause(int milliseconds);

    bool operator==(const InputEvent &other) const;
    bool operator!=(const InputEvent &other) const { return !(*this == other); }

    // "key 0x11 0", "mouse 0x800 -120", "pause 50": for test tables and messages.
    std::string describe() const;
};

class FakeInputInjector : public InputInjector
{
public:
    void keyEvent(std::uint8_t virtualKey, std::uint32_t flags) override;
    void mouseEvent(std::uint32_t flags, std::int32_t data) override;
    Point cursorPos() override { return m_cursor; }
    void pause(int milliseconds) override; // recorded, never sleeps

    void setCursorPos(Point p) { m_cursor = p; }

    const std::vector<InputEvent> &events() const { return m_events; }
    std::vector<std::string> describedEvents() const;
    void clear() { m_events.clear(); }

private:
    std::vector<InputEvent> m_events;
    Point m_cursor;
};

} // namespace platform::fake
