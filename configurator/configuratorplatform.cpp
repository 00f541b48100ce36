#include "configuratorplatform.h"

#include "workerwait.h"

namespace {
ConfiguratorPlatform &slot()
{
    static ConfiguratorPlatform services = ConfiguratorPlatform::native();
    return services;
}
} // namespace

ConfiguratorPlatform ConfiguratorPlatform::native()
{
    ConfiguratorPlatform p;
    p.processes = platform::createProcessTable();
    p.windows = platform::createWindowDirectory();
    p.hid = platform::createHidSystem();
    p.pairingWizard = platform::createPairingWizard();
    p.createMessageWindow = [] { return platform::createMessageWindow(); };
    p.createWorkerWait = [] { return std::make_unique<ThreadWait>(); };
    return p;
}

const ConfiguratorPlatform &ConfiguratorPlatform::current()
{
    return slot();
}

void ConfiguratorPlatform::install(ConfiguratorPlatform services)
{
    slot() = std::move(services);
}

void ConfiguratorPlatform::installNative()
{
    slot() = native();
}
