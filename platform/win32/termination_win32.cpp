#include "termination.h"

namespace platform {

// A Windows program is asked to close through its windows; see the header.
std::unique_ptr<TerminationWatch> watchTerminationRequests(std::function<void()>)
{
    return nullptr;
}

} // namespace platform
