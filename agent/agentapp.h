// The agent's life from the single-instance check to the end of shutdown.
#pragma once

struct AgentPlatform;

// The title of the agent's hidden window: how the configurator finds the agent.
extern const char kAgentWindowTitle[];
// The name of the agent's single-instance lock.
extern const char kAgentInstanceLock[];

// Process-wide choices the agent makes before its application object exists. On Linux the
// toolkit's own event dispatcher replaces the GLib one: the agent's loop carries
// only posted events, timers and the close socket, and the lighter dispatcher
// hands each mouse event on sooner. (Windows has a single dispatcher.)
void prepareAgentProcess();

// Runs the agent on an existing application object (AgentApplication): single-instance check, object graph,
// driver thread, event loop, shutdown. Returns the process exit code (0 when
// another copy runs, else the event loop's code).
int runAgent(AgentPlatform &platform);
