// The line from a second start of the configurator to the copy that runs: the
// second start asks it to show its window (shown, un-minimised, raised) and ends,
// so that the settings can always be reached again, with a tray or without. A
// local socket (a named pipe on Windows) that only the current user can open.
// Main thread only, but for askToShow(), which blocks and may run on any thread.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

class RunningCopy : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAnswerMs = 3000;

    explicit RunningCopy(QObject *parent = nullptr);

    // The current user's channel: its name carries a digest of the home folder,
    // so that every user of a machine has one of their own.
    static QString channelName();
    // Serves `channel`: every "show" request runs onShow on this thread and is
    // answered "shown". False when the channel cannot be served.
    bool serve(const QString &channel, std::function<void()> onShow);
    // Asks the copy serving `channel` to show its window; true once it has
    // answered, false when none answers within timeoutMs (no copy serves it, such
    // as an older version that holds the lock).
    static bool askToShow(const QString &channel, int timeoutMs = kAnswerMs);

private:
    QLocalServer *m_server = nullptr;
    std::function<void()> m_onShow;
};
