// Windows here take no private messages: canPost() is false, and callers defer
// through their own event loop.
#include "native_messages.h"
#include "unavailable.h"

namespace platform {
namespace {

class LinuxNativeMessages : public NativeMessages
{
public:
    bool canPost() const override { return false; }
    bool post(std::uintptr_t, std::uint32_t, std::uintptr_t, std::intptr_t) override
    {
        linuxport::reportUnavailable("private window messages");
        return false;
    }
    bool decode(const std::string &, const void *, NativeMessage &) const override { return false; }
};

} // namespace

std::unique_ptr<NativeMessages> createNativeMessages()
{
    return std::make_unique<LinuxNativeMessages>();
}

} // namespace platform
