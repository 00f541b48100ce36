#include "openbluetooth.h"

#include "configuratorplatform.h"
#include "pairing_wizard.h"

OpenBluetooth::OpenBluetooth(QObject *parent)
    : OpenBluetooth(ConfiguratorPlatform::current(), parent)
{
}

OpenBluetooth::OpenBluetooth(const ConfiguratorPlatform &services, QObject *parent)
    : QObject(parent), m_wizard(services.pairingWizard)
{
}

OpenBluetooth::~OpenBluetooth() = default;

void OpenBluetooth::OpenBthprops()
{
    m_wizard->open();
}
