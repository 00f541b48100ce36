// The configurator's handle on the agent: starts it from the application folder
// when no agent runs, starts it again when it fails, closes it on exit, and tells
// the pages the Windows version class. Qt Quick type Model.QX.CheckProcess 1.0.
#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

#include <memory>

class QTimer;
struct ConfiguratorPlatform;
namespace platform {
class ProcessTable;
class WindowDirectory;
} // namespace platform

class CheckProcess : public QObject
{
    Q_OBJECT
    // True when the window is to stay hidden at start: started quietly (at log-in)
    // and a tray is there to bring it back. Without a tray it shows as always.
    Q_PROPERTY(bool startHidden READ startHidden CONSTANT)
public:
    // Values of sigServerState beside QProcess::ProcessError (0 to 5).
    static constexpr int kStarted = 6;
    static constexpr int kMissingExecutable = 7;
    // How long a close request waits for the agent to answer.
    static constexpr int kCloseTimeoutMs = 5000;
    // Restarts after errors stop once this many starts in a row have failed.
    static constexpr int kMaxFailedStarts = 3;
    // An agent found running may be one still ending after a close request (the
    // configurator exited and was started again at once): it is looked for this
    // long, every kEndingLookMs, and one is started when it has gone.
    static constexpr int kEndingWatchMs = 10000;
    static constexpr int kEndingLookMs = 500;

    static const char kAgentProgram[];     // "VelkoOptions"
    static const char kAgentWindowTitle[]; // "VelkoOptions"

    // Takes its services from ConfiguratorPlatform::current().
    explicit CheckProcess(QObject *parent = nullptr);
    CheckProcess(const ConfiguratorPlatform &services, QObject *parent = nullptr);
    // The agent process object is left alive on purpose: the agent it started
    // outlives the configurator.
    ~CheckProcess() override;

    // Starts the agent unless one runs (then for a while after, should that one
    // end: see kEndingWatchMs), then emits the version class.
    Q_INVOKABLE void CheckTargetPro();
    // Asks the agent to quit through its window, waiting at most kCloseTimeoutMs.
    Q_INVOKABLE void CloseVelkoOptions();
    // Called when the window is shown again from the tray; nothing to do.
    Q_INVOKABLE void RestartOption();

    // The executable file name of the agent here, and its full path.
    static QString agentFileName();
    static QString agentPath();

    bool startHidden() const { return m_startHidden; }

    QProcess *agentProcess() const { return m_process; }
    // Whether restarts were given up after repeated failed starts.
    bool restartsGivenUp() const { return m_gaveUp; }

signals:
    void sigCurrentSysVerison(QString sysVersion);
    void sigServerState(int state);

public slots:
    void onServerExeStart();
    void onServerExeErrorOccurred(QProcess::ProcessError error);
    void onServerProcessState(int state);
    void timerDone();

private:
    bool agentRunning();
    void startAgent();
    // A start with the count of failed starts begun again.
    void startAfresh();
    void restartAfterError();
    void lookForEndedAgent();

    std::shared_ptr<platform::ProcessTable> m_processes;
    std::shared_ptr<platform::WindowDirectory> m_windows;
    QStringList m_agentArguments;
    QProcess *m_process;
    QTimer *m_timer;
    QTimer *m_endingWatch;
    int m_endingLooks = 0;
    bool m_startedSinceAttempt = false;
    bool m_closingPrevious = false;
    bool m_restartQueued = false;
    bool m_gaveUp = false;
    bool m_startHidden = false;
    int m_failedStarts = 0;
};
