#include "promousefunc.h"

#include "appenv.h"

ProMouseFunc::ProMouseFunc(AgentPlatform &, QObject *parent) : QObject(parent)
{
    m_versionClass = appenv::windowsVersionClass();
}
