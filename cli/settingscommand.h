// velko-options, the command-line tool: the settings the configurator writes,
// looked at and changed without the window, in the same settings folder, through
// the same accessors and rules as the pages; the agent takes a change at its next
// event.
//
//   velko-options show [--model M] [--program P] [--json]
//   velko-options set CONTROL FUNCTION [--program P] [--value V]
//   velko-options export FILE | import FILE
//   velko-options functions [--json]
//   velko-options --help | --version
//
// Exit status 0 on success, 2 on bad use (with a usage line), 1 when a value or a
// file is refused (with the reason). Main thread.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace cli {

extern const char kVersion[];

// Runs the command of `arguments` (without the program's name).
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace cli
