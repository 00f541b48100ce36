#include "mainwindow.h"

#include "agentplatform.h"
#include "singletonglobalmousehook.h"

#include <QDebug>

MainWindow::MainWindow(AgentPlatform &platform, QWidget *parent)
    : QMainWindow(parent), m_deviceWindow(*platform.messageWindow, *platform.hid),
      m_dispatcher(platform)
{
    setObjectName(QStringLiteral("MainWindow"));
    resize(733, 434);
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);
    setWindowTitle(tr("MainWindow"));

    connect(SingletonGlobalMouseHook::instance(), &SingletonGlobalMouseHook::sig_mouseHookParam,
            this, &MainWindow::onHookMouseMsg);
    m_deviceWindow.registerDeviceNotify();
    qDebug() << "是否有设备：" << (m_deviceWindow.CheckDevice() ? "true" : "false");
}

MainWindow::~MainWindow() = default;

void MainWindow::onHookMouseMsg(int msgType, int msgCode)
{
    qDebug() << "MainWindow::onHookMouseMsg" << msgType << msgCode;
}
