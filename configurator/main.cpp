#include "configuratorapp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ConfiguratorStartup startup = ConfiguratorStartup::native();
    return runConfigurator(app, startup);
}
