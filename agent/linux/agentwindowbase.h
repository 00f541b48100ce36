// The agent's application and window classes on Linux: a core application and
// plain objects. Nothing is ever shown, the routing defers through the event loop,
// and the close requests and device notifications reach the agent through the
// platform's message window, so the agent loads no GUI module at all.
#pragma once

#include <QCoreApplication>
#include <QObject>

using AgentApplication = QCoreApplication;

// Stands in for the hidden main window: the same operations, none of which has
// anything to show.
class AgentWindowBase : public QObject
{
public:
    explicit AgentWindowBase(QObject *parent = nullptr) : QObject(parent) {}

    void hide() {}
    void resize(int, int) {}
    void setWindowTitle(const QString &) {}
    void setCentralWidget(QObject *) {}
};

// Stands in for the device-notification widget.
using AgentWidgetBase = QObject;

class QUrl;
// No desktop services without a GUI application: the platform's shell opens files,
// folders and programs.
inline void (*const kSystemUrlOpener)(const QUrl &) = nullptr;
