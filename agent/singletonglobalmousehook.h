// The agent's meeting point for mouse-button events: producers hand it a pair of
// codes, the main window listens to the signal.
#pragma once

#include <QObject>

class SingletonGlobalMouseHook : public QObject
{
    Q_OBJECT
public:
    static SingletonGlobalMouseHook *instance();

    // Emits sig_mouseHookParam synchronously on the calling thread.
    void emitMouseHookParam(int msgType, int msgCode);

signals:
    void sig_mouseHookParam(int msgType, int msgCode);

private:
    SingletonGlobalMouseHook() = default;
};
