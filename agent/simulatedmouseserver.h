// The simulated mouse's buttons as seen from outside the agent: in simulated mode
// the agent serves a local socket on which another process presses a control,
// and `VelkoOptions --press <control>` is that other process.
//
// The socket is named after the agent's folder and the user's home folder, so
// that the command finds the agent that runs from its own folder. Each request is
// one line "press <control>"; the answer is one line: "ok", or "error: " and why.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
namespace platform::fake {
class SimulatedMouse;
}

class SimulatedMouseServer : public QObject
{
    Q_OBJECT
public:
    // The socket's name for the programs in `applicationDir`.
    static QString socketName(const QString &applicationDir);

    // `mouse` must outlive the server.
    explicit SimulatedMouseServer(platform::fake::SimulatedMouse &mouse, QObject *parent = nullptr);
    ~SimulatedMouseServer() override;

    // Starts serving (taking over a socket left behind by an agent that did not
    // end cleanly). False, with a log line, when the name is in use or refused.
    bool listen(const QString &name);

    // The answer to one request line.
    QString handle(const QString &request);

private:
    void acceptPending();

    platform::fake::SimulatedMouse &m_mouse;
    QLocalServer *m_server;
};

// The command side: sends "press <control>" to the agent serving `name`, prints
// the answer and returns 0 when the control was pressed, 1 otherwise. Blocks for
// at most a few seconds.
int pressSimulatedControl(const QString &name, const QString &control);
