#include "fake_input.h"

#include <cstdio>

namespace platform::fake {

InputEvent InputEvent::key(std::uint8_t vk, std::uint32_t flags)
{
    return {Kind::Key, vk, flags, 0};
}

InputEvent InputEvent::mouse(std::uint32_t flags, std::int32_t data)
{
    return {Kind::Mouse, flags, 0, data};
}

InputEvent InputEvent::pause(int milliseconds)
{
    return {Kind::Pause, std::uint32_t(milliseconds), 0, 0};
}

bool InputEvent::operator==(const InputEvent &other) const
{
    return kind == other.kind && code == other.code && flags == other.flags && data == other.data;
}

std::string InputEvent::describe() const
{
    char text[64];
    switch (kind) {
    case Kind::Key:
        std::snprintf(text, sizeof text, "key 0x%X %u", unsigned(code), unsigned(flags));
        break;
    case Kind::Mouse:
        std::snprintf(text, sizeof text, "mouse 0x%X %d", unsigned(code), int(data));
        break;
    case Kind::Pause:
        std::snprintf(text, sizeof text, "pause %u", unsigned(code));
        break;
    }
    return text;
}

void FakeInputInjector::keyEvent(std::uint8_t virtualKey, std::uint32_t flags)
{
    m_events.push_back(InputEvent::key(virtualKey, flags));
}

void FakeInputInjector::mouseEvent(std::uint32_t flags, std::int32_t data)
{
    m_events.push_back(InputEvent::mouse(flags, data));
}

void FakeInputInjector::pause(int milliseconds)
{
    m_events.push_back(InputEvent::pause(milliseconds));
}

std::vector<std::string> FakeInputInjector::describedEvents() const
{
    std::vector<std::string> out;
    out.reserve(m_events.size());
    for (const InputEvent &e : m_events)
        out.push_back(e.describe());
    return out;
}

} // namespace platform::fake
