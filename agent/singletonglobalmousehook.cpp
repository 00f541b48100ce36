#include "singletonglobalmousehook.h"

SingletonGlobalMouseHook *SingletonGlobalMouseHook::instance()
{
    static SingletonGlobalMouseHook hook;
    return &hook;
}

void SingletonGlobalMouseHook::emitMouseHookParam(int msgType, int msgCode)
{
    emit sig_mouseHookParam(msgType, msgCode);
}
