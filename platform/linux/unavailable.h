// Services that have no Linux port yet say so once in the log.
#pragma once

namespace platform::linuxport {

// Logs "<what>: not available on this platform" the first time it is called for
// `what` (a string literal) and does nothing afterwards. Any thread.
void reportUnavailable(const char *what);

} // namespace platform::linuxport
