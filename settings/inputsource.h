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

// Writes the file (a new one renamed over the old). False when it cannot be written.
bool store(Source source);
// Unknown when the file is absent or says anything else.
Source stored();

} // namespace inputsource
