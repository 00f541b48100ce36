#include "checkprocess.h"

#include "appenv.h"
#include "configuratorplatform.h"
#include "message_window.h"
#include "process.h"

#include <QDebug>
#include <QFile>
#include <QMetaEnum>
#include <QSysInfo>
#include <QTimer>

const char CheckProcess::kAgentProgram[] = "VelkoOptions";
const char CheckProcess::kAgentWindowTitle[] = "VelkoOptions";

CheckProcess::CheckProcess(QObject *parent) : CheckProcess(ConfiguratorPlatform::current(), parent)
{
}

CheckProcess::CheckProcess(const ConfiguratorPlatform &services, QObject *parent)
    : QObject(parent), m_processes(services.processes), m_windows(services.windows),
      m_agentArguments(services.agentArguments), m_process(new QProcess),
      m_timer(new QTimer(this)), m_endingWatch(new QTimer(this)),
      m_startHidden(services.quietStart && services.trayAvailable && services.trayAvailable())
{
    if (services.quietStart && !m_startHidden)
        qDebug() << "no tray to wait in: the window shows";
    // The agent writes its log to the configurator's own output instead of a pipe
    // that nobody empties and that would break when the configurator ends.
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(m_process, &QProcess::started, this, &CheckProcess::onServerExeStart);
    connect(m_process, &QProcess::errorOccurred, this, &CheckProcess::onServerExeErrorOccurred);
    connect(this, &CheckProcess::sigServerState, this, &CheckProcess::onServerProcessState);
    connect(m_timer, &QTimer::timeout, this, &CheckProcess::timerDone);
    m_endingWatch->setInterval(kEndingLookMs);
    connect(m_endingWatch, &QTimer::timeout, this, &CheckProcess::lookForEndedAgent);
}

CheckProcess::~CheckProcess()
{
    m_process->disconnect(this);
}

QString CheckProcess::agentFileName()
{
    return QString::fromStdString(platform::executableFileName(kAgentProgram));
}

QString CheckProcess::agentPath()
{
    return appenv::applicationDir() + QLatin1Char('/') + agentFileName();
}

bool CheckProcess::agentRunning()
{
    return m_processes->isRunning(agentFileName().toStdString());
}

void CheckProcess::startAgent()
{
    // Errors of a child the object still holds belong to that child, not to this start.
    m_closingPrevious = true;
    m_process->close();
    m_process->waitForFinished(1000);
    m_closingPrevious = false;

    const QString path = agentPath();
    if (!QFile::exists(path)) {
        emit sigServerState(kMissingExecutable);
        return;
    }
    m_startedSinceAttempt = false;
    m_process->start(path, m_agentArguments, QIODevice::ReadWrite);
}

void CheckProcess::startAfresh()
{
    m_failedStarts = 0;
    m_gaveUp = false;
    startAgent();
}

void CheckProcess::CheckTargetPro()
{
    m_endingWatch->stop();
    if (!agentRunning()) {
        startAfresh();
    } else if (m_process->state() == QProcess::NotRunning) {
        m_endingLooks = 0;
        m_endingWatch->start();
    }
    qDebug().noquote() << "Get current system version " << QSysInfo::productType()
                       << QSysInfo::productVersion();
    emit sigCurrentSysVerison(appenv::windowsVersionClass());
}

void CheckProcess::CloseVelkoOptions()
{
    m_endingWatch->stop(); // the agent closed here is not to be followed by another
    const platform::CloseResult result =
        m_windows->requestClose(kAgentWindowTitle, kCloseTimeoutMs);
    const char *outcome = result == platform::CloseResult::Closed     ? "closed"
                          : result == platform::CloseResult::NotFound ? "no window"
                                                                      : "timed out";
    qDebug() << "关闭驱动" << outcome;
    if (result == platform::CloseResult::TimedOut)
        qWarning() << "CheckProcess: the agent did not answer the close request within"
                   << kCloseTimeoutMs << "ms";
}

void CheckProcess::RestartOption() {}

void CheckProcess::onServerExeStart()
{
    qDebug() << "onServerExeStart";
    m_startedSinceAttempt = true;
    m_failedStarts = 0;
    emit sigServerState(kStarted);
}

void CheckProcess::onServerExeErrorOccurred(QProcess::ProcessError error)
{
    if (m_closingPrevious)
        return;
    qDebug() << "onServerExeErrorOccurred"
             << QMetaEnum::fromType<QProcess::ProcessError>().valueToKey(error);
    emit sigServerState(int(error));
}

void CheckProcess::onServerProcessState(int state)
{
    qDebug() << "server process state" << state;
    if (state == kStarted)
        return;
    if (state == kMissingExecutable) {
        qDebug() << "启动进程失败";
        return;
    }
    if (!m_startedSinceAttempt)
        ++m_failedStarts;
    if (m_failedStarts > kMaxFailedStarts) {
        if (!m_gaveUp)
            qWarning() << "CheckProcess: the agent failed to start" << m_failedStarts
                       << "times in a row; no further restart";
        m_gaveUp = true;
        return;
    }
    // The start runs from the event loop: a failing start reports its error
    // while it is still inside QProcess::start().
    if (!m_restartQueued) {
        m_restartQueued = true;
        QTimer::singleShot(0, this, &CheckProcess::restartAfterError);
    }
}

void CheckProcess::restartAfterError()
{
    m_restartQueued = false;
    // A child of this object still running or starting is not restarted.
    if (m_process->state() != QProcess::NotRunning)
        return;
    if (!agentRunning())
        startAgent();
}

void CheckProcess::lookForEndedAgent()
{
    if (agentRunning()) {
        if (++m_endingLooks * kEndingLookMs >= kEndingWatchMs)
            m_endingWatch->stop(); // it keeps running: it is that agent's to serve
        return;
    }
    m_endingWatch->stop();
    qDebug() << "the agent that was running has ended; starting one";
    startAfresh();
}

void CheckProcess::timerDone()
{
    if (!agentRunning()) {
        m_processes->forceKill(agentFileName().toStdString());
        startAgent();
    }
}
