// Linux has no session-wide mouse hook that a program may swallow events with; the
// agent hears the mouse through its evdev filter device, which always opens.
#include "mouse_hook.h"

namespace platform {
namespace {

class LinuxMouseHook : public MouseHook
{
public:
    bool start(Filter) override { return false; }
    void stop() override {}
    bool isRunning() const override { return false; }
};

} // namespace

std::unique_ptr<MouseHook> createMouseHook()
{
    return std::make_unique<LinuxMouseHook>();
}

} // namespace platform
