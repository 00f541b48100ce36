// The agent's application and window classes on Windows: a widgets application,
// and real widgets that are never shown and never get a native window of the
// toolkit's: the private routing message and the device notifications travel
// through plain windows of the platform's services (native_messages.h,
// message_window.h).
#pragma once

#include <QApplication>
#include <QDesktopServices>
#include <QMainWindow>
#include <QWidget>

using AgentApplication = QApplication;
// The base of the hidden main window.
using AgentWindowBase = QMainWindow;
// The base of the device-notification window.
using AgentWidgetBase = QWidget;

// How the agent opens files, folders and programs: the toolkit's desktop services.
inline void (*const kSystemUrlOpener)(const QUrl &) = [](const QUrl &url) {
    QDesktopServices::openUrl(url);
};
