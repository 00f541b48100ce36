#include "configuratorapp.h"
#include "configuratorplatform.h"
#include "startoptions.h"

#include <QApplication>
#include <QDebug>

int main(int argc, char *argv[])
{
    chooseGuiPlatform();
    followDesktopScaling();
    QApplication app(argc, argv);
    const StartOptions options = parseStartOptions(QApplication::arguments());
    if (!options.error.isEmpty())
        qWarning().noquote() << "VelkoOptionsGUI: ignoring the options:" << options.error;
    ConfiguratorPlatform::install(ConfiguratorPlatform::forOptions(options));
    ConfiguratorStartup startup = ConfiguratorStartup::native();
    return runConfigurator(app, startup);
}
