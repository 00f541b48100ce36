// The Linux stand-in for the mouse filter driver: the receiver's mouse event
// device is taken exclusively; the programmable controls (right, middle and the
// two side keys, the wheel and the side wheel) become the driver's 32-bit input
// records, and every other event goes on through a virtual mouse so that the
// pointer and the left button keep working.
#pragma once

#include "filter_device.h"

#include <linux/input.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform::linuxport {

// Where the events that are not withheld go. Called on the filter's reader thread.
class PassThrough
{
public:
    virtual ~PassThrough() = default;
    // Prepares the virtual mouse and takes the event device `fd` exclusively.
    // False, with the reason in `why`, when either is impossible; nothing is then
    // taken and nothing is left behind.
    virtual bool take(int fd, std::string &why) = 0;
    // Emits one event on the virtual mouse.
    virtual void write(const input_event &event) = 0;
    // Gives the event device back and removes the virtual mouse.
    virtual void release(int fd) = 0;
};

// The virtual mouse through uinput (libevdev), the event device taken with EVIOCGRAB.
std::unique_ptr<PassThrough> createUinputPassThrough();

// Turns the events of the receiver's mouse into records, keeping the state of
// the four keys. Plain state machine; one thread at a time.
class RecordTranslator
{
public:
    // The most records one wheel event makes; the notches beyond are dropped.
    static constexpr int kMaxNotchesPerEvent = 8;

    // Handles one event. With `filtering`, appends the records it makes and
    // answers true when the event is withheld; without, answers false and keeps
    // only the key state.
    bool handle(const input_event &event, bool filtering, std::vector<std::uint32_t> &records);
    // Brings the key state in line with the device's pressed keys (after events
    // were lost), appending the records of the keys that changed.
    void resync(const std::vector<int> &pressedCodes, std::vector<std::uint32_t> &records);
    std::uint32_t bitmap() const { return m_bitmap; }

private:
    std::uint32_t m_bitmap = 0;
};

using PassThroughFactory = std::function<std::unique_ptr<PassThrough>()>;

// The filter device with the given way to pass events on (the uinput virtual
// mouse in production).
std::unique_ptr<FilterDevice> createEvdevFilterDevice(PassThroughFactory passThrough);

} // namespace platform::linuxport
