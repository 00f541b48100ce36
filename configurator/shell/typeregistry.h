// The classes the pages create, registered as Qt Quick types (version 1.0) under
// their module URIs, in this order.
#pragma once

#include <vector>

struct QmlTypeEntry
{
    const char *uri;
    const char *name;
    void (*registerType)(const char *uri, const char *name);
};

// The table in registration order.
const std::vector<QmlTypeEntry> &configuratorTypes();

// Registers every type of the table. Main thread, before the main page loads.
void registerConfiguratorTypes();
