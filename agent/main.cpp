#include "agentapp.h"
#include "agentplatform.h"
#include "appenv.h"
#include "simulatedmouseserver.h"
#include "startoptions.h"

#include "agentwindowbase.h"

#include <QDebug>

#include <cstdio>

int main(int argc, char *argv[])
{
    const QStringList arguments = commandLineArguments(argc, argv);
    const StartOptions options = parseStartOptions(arguments);
    if (options.help) {
        std::fputs(usageText(Program::Agent).toLatin1().constData(), stdout);
        return 0;
    }

    if (!options.press.isEmpty() || arguments.contains(QLatin1String("--press"))) {
        QCoreApplication app(argc, argv);
        if (options.press.isEmpty()) {
            qWarning().noquote() << options.error;
            return 1;
        }
        return pressSimulatedControl(SimulatedMouseServer::socketName(appenv::applicationDir()),
                                     options.press);
    }

    prepareAgentProcess();
    AgentApplication app(argc, argv);
    if (!options.error.isEmpty())
        qWarning().noquote() << "VelkoOptions: ignoring the options:" << options.error;
    AgentPlatform platform = AgentPlatform::forOptions(options);
    return runAgent(platform);
}
