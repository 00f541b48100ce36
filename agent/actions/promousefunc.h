// The function dispatcher: turns a control's stored catalogue index into the
// action that the function performs.
#pragma once

#include "agentconffile.h"

#include <QObject>
#include <QString>

struct AgentPlatform;

class ProMouseFunc : public QObject
{
    Q_OBJECT
public:
    explicit ProMouseFunc(AgentPlatform &platform, QObject *parent = nullptr);

    QString versionClass() const { return m_versionClass; }

private:
    agent::OpFunConfFile m_settings;
    int m_currentControl = 0;
    bool m_pointerSpeedToggle = false;
    QString m_versionClass;
};
