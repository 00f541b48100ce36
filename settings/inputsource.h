// Which way the agent hears the mouse, as the agent last said: through the filter
// driver, through the system's mouse hook, or neither. The agent writes it to a
// small file of its own in the settings folder; the configurator's pages read it.
#pragma once

#include <QString>

namespace inputsource {

enum class Source { Unknown, Driver, Hook };

// "driver", "hook" or "" (Unknown), as stored.
QString name(Source source);
Source fromName(const QString &name);

// "<settings folder>/agentinput.ini".
QString filePath();

// Writes the file whole (a new file renamed over the old one). False when the
// folder cannot be written.
bool store(Source source);
// Unknown when the file is absent or holds anything else.
Source stored();

} // namespace inputsource
