#include "promousefunc.h"

#include "appenv.h"

ProMouseFunc::ProMouseFunc(QObject *parent) : QObject(parent)
{
    m_versionClass = appenv::windowsVersionClass();
}
