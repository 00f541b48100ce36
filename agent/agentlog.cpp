#include "agentlog.h"

Q_LOGGING_CATEGORY(lcAgentEvents, "velko.agent.events", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAgentActions, "velko.agent.actions", QtInfoMsg)
