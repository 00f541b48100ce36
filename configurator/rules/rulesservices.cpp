#include "rulesservices.h"

namespace {

RulesServices &slot()
{
    static RulesServices services;
    return services;
}

} // namespace

const RulesServices &RulesServices::current()
{
    return slot();
}

void RulesServices::install(RulesServices services)
{
    slot() = std::move(services);
}
