// One line per event on standard error, with a UTC time stamp. Thread-safe.
// Callers never pass passwords, codes or tokens.
#pragma once

#include <string>

namespace velko::server {

void logLine(const std::string &line);
// Lines are dropped while quiet (tests and benchmarks).
void setLogQuiet(bool quiet);

} // namespace velko::server
