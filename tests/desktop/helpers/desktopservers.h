// Real desktop servers that the Linux desktop tests start for themselves, each
// on a free display or private socket, and stop again: an X server (Xvfb) with
// the openbox window manager, a PulseAudio daemon with a null sink, a mocked
// logind on a private system bus that logs every call it receives, and
// stand-ins for KWin's input devices on a private session bus and for sway's IPC.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class DesktopServers
{
public:
    DesktopServers();
    ~DesktopServers();

    // Each start sets the environment variables that lead the process's clients
    // to the server ($DISPLAY, $PULSE_SERVER, $DBUS_SYSTEM_BUS_ADDRESS and
    // $XDG_SESSION_ID). False, with `error` set, when the server did not come up.
    bool startX(QString &error);
    bool startPulse(QString &error);
    // The mocked logind knows session "velko1" of this user; its SetBrightness
    // writes the value into `backlightRoot`/<name>/brightness as the kernel would.
    bool startLogind(const QString &backlightRoot, QString &error);

    // A stand-in for KWin's input devices on a private session bus
    // ($DBUS_SESSION_BUS_ADDRESS): org.kde.KWin with a pointer "event3" whose
    // pointerAcceleration is 0.2 and a keyboard "event4". Before the application
    // object, which connects to the session bus as it starts.
    bool startKWinInputStandIn(QString &error);
    // A stand-in for sway's IPC socket ($SWAYSOCK) with a pointer whose
    // acceleration is 0.2 (sway_ipc_standin.py).
    bool startSwayIpcStandIn(QString &error);

    // pactl's output for `arguments`; empty when it failed.
    QString pactl(const QStringList &arguments) const;
    // The mocked logind's call log so far, one call per line ("LockSession "velko1"").
    QString logindCalls() const;

private:
    // A private bus's address; empty (with `error` set) when it did not start.
    QString startBus(QString &error);
    QProcess *start(const QString &program, const QStringList &arguments);
    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QString m_pulseServer;
};
