// Opens the system's Bluetooth pairing wizard for the page that offers Bluetooth
// pairing. Qt Quick type Model.QX.OpenBluetooth 1.0.
#pragma once

#include <QObject>

#include <memory>

struct ConfiguratorPlatform;
namespace platform {
class PairingWizard;
}

class OpenBluetooth : public QObject
{
    Q_OBJECT
public:
    explicit OpenBluetooth(QObject *parent = nullptr);
    OpenBluetooth(const ConfiguratorPlatform &services, QObject *parent = nullptr);
    ~OpenBluetooth() override;

    // Starts the wizard; whether it started is not reported.
    Q_INVOKABLE void OpenBthprops();

private:
    std::shared_ptr<platform::PairingWizard> m_wizard;
};
