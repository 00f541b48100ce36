#include "agentapp.h"
#include "agentplatform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    prepareAgentProcess();
    QApplication app(argc, argv);
    AgentPlatform platform = AgentPlatform::native();
    return runAgent(platform);
}
