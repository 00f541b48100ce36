// Which family of operating system the native backend serves. The configurator
// asks it where the Windows conventions (drive letters, ".exe" programs, the
// system's media folder) apply.
#pragma once

namespace platform {

enum class SystemFamily { Windows, Other };

// The family of the system this build's native backend was built for. Constant;
// cannot fail; any thread.
SystemFamily nativeSystemFamily();

} // namespace platform
