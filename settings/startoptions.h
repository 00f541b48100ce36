// The start options of both programs. Normally neither takes any; these let a
// person (and the tests) try the product without the mouse and its receiver:
//
//   --simulated-mouse         the simulated receiver and mouse replace the
//                             system's devices; the configurator passes the
//                             option on to the agent it starts
//   --record-effects <file>   with --simulated-mouse: the agent's keyboard, mouse
//                             and shell output is not performed but written to
//                             <file>, one line per effect
//   --quiet                   (configurator) starts the agent and waits in the
//                             tray without showing its window, as at log-in
//   --press <control>         (agent) presses a control of the simulated mouse of
//                             the agent running from the same folder, then exits
//   --help, -h                prints the program's usage (usageText) and exits
#pragma once

#include <QString>
#include <QStringList>

struct StartOptions
{
    bool simulatedMouse = false;
    bool quiet = false;     // the configurator's window stays hidden at start
    bool help = false;      // print the usage and start nothing
    QString recordEffects; // absolute path; empty: effects are performed
    QString press;         // the control to press; empty: run the program
    QString error;         // what was not understood (then ignored); empty when all was

    // What the configurator starts the agent with: the simulated devices and the
    // effect file when it runs with them, else the one empty argument it always
    // passed.
    QStringList agentArguments() const;
};

// Reads the options of a command line (`arguments` starts with the program).
// Arguments that are not options are ignored.
StartOptions parseStartOptions(const QStringList &arguments);

// main()'s arguments as a list, for reading before an application object exists
// (QCoreApplication::arguments() needs one, and has the toolkit's own options
// taken out once it does).
QStringList commandLineArguments(int argc, char *argv[]);

// What --help prints: the options of the agent, or of the configurator.
enum class Program { Agent, Configurator };
QString usageText(Program program);
