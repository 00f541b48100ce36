// The agent's hidden main window: owns the device-notification window and the
// function dispatcher, and receives the button events of the event hub.
#pragma once

#include "actions/promousefunc.h"
#include "vlnativeeventfilter.h"

#include <QMainWindow>

struct AgentPlatform;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(AgentPlatform &platform, QWidget *parent = nullptr);
    ~MainWindow() override;

    VLNativeEventFilter &deviceWindow() { return m_deviceWindow; }
    ProMouseFunc &dispatcher() { return m_dispatcher; }

public slots:
    void onHookMouseMsg(int msgType, int msgCode);

private:
    VLNativeEventFilter m_deviceWindow;
    ProMouseFunc m_dispatcher;
};
