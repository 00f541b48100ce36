// The agent's log categories for the lines written for every event and every
// action. They are off by default, so that a line nobody reads costs nothing;
// switch them on with QT_LOGGING_RULES, for example
//   QT_LOGGING_RULES="velko.agent.*.debug=true;velko.settings.read.debug=true"
// Lines about start-up, shutdown and failures stay in the default category.
#pragma once

#include <QLoggingCategory>

// Driver records, the hub's hand-over, the routing and the dispatcher's choice.
Q_DECLARE_LOGGING_CATEGORY(lcAgentEvents)
// What each action does (the lines of agent/actions).
Q_DECLARE_LOGGING_CATEGORY(lcAgentActions)
