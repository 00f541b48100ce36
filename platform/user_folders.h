// The user's own folder for this product's settings, used where the programs'
// folder cannot be written (an installed copy under /usr, a Windows folder
// without write access).
#pragma once

#include <string>

namespace platform {

// The product's folder inside the user's configuration folder, UTF-8, without a
// trailing separator: "$XDG_CONFIG_HOME/velko-options" on Linux (with
// "$HOME/.config" when XDG_CONFIG_HOME is unset or not absolute), the roaming
// application data folder + "\Velko Options" on Windows (%APPDATA%). The folder
// is named, not created. Empty when the system names no such folder (no home, no
// known folder). Any thread.
std::string userSettingsFolder();

} // namespace platform
