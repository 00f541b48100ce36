// Chooses how the agent hears the mouse: through the filter driver wherever it can
// be opened, else through the system's low-level mouse hook; and switches when the
// driver comes or goes. Only one of the two delivers at any time.
#pragma once

#include "inputsource.h"

#include <QObject>
#include <QTimer>

class HookSource;
class USBDriver;

class InputSources : public QObject
{
    Q_OBJECT
public:
    static constexpr int kCheckMs = 2000;

    // Both must outlive this object. The driver's thread runs on its own.
    InputSources(USBDriver &driver, HookSource &hook, QObject *parent = nullptr);

    // Opens the driver or, failing that, starts the hook, and checks again every
    // kCheckMs. Main thread.
    void start();
    // Stops the hook; the driver is the caller's to stop.
    void stop();

    // The driver still answering, or back: switches when it is not what is in use.
    void check();

private:
    // Says (log and file) what is in use now, when that changed.
    void use(inputsource::Source source);

    USBDriver &m_driver;
    HookSource &m_hook;
    inputsource::Source m_source = inputsource::Source::Unknown;
    bool m_said = false;
    QTimer m_timer;
};
