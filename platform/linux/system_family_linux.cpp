#include "system_family.h"

namespace platform {

SystemFamily nativeSystemFamily()
{
    return SystemFamily::Other;
}

} // namespace platform
