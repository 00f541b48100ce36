// The Linux display gamma with its backlight folder chosen by the caller (tests
// point it at a folder of their own).
#pragma once

#include "display_gamma.h"

#include <string>

namespace platform::linuxport {

// `backlightRoot` is the folder of backlight devices ("/sys/class/backlight" in
// production); each device folder holds "max_brightness" and "brightness".
std::unique_ptr<DisplayGamma> createDisplayGamma(const std::string &backlightRoot);

} // namespace platform::linuxport
