#include "configuratorapp.h"
#include "configuratorplatform.h"
#include "startoptions.h"

#include <QApplication>
#include <QDebug>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The usage needs no display: read before the application object connects to one.
    if (parseStartOptions(commandLineArguments(argc, argv)).help) {
        std::fputs(usageText(Program::Configurator).toLatin1().constData(), stdout);
        return 0;
    }
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
