// The agent's life from the single-instance check to the end of shutdown.
#pragma once

struct AgentPlatform;

// The title of the agent's hidden window: how the configurator finds the agent.
extern const char kAgentWindowTitle[];
// The name of the agent's single-instance lock.
extern const char kAgentInstanceLock[];

// Runs the agent on an existing QApplication: single-instance check, object graph,
// driver thread, event loop, shutdown. Returns the process exit code (0 when
// another copy runs, else the event loop's code).
int runAgent(AgentPlatform &platform);
