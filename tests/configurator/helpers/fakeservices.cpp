#include "fakeservices.h"

#include <QMutex>
#include <QStringList>

#include <algorithm>

ConfiguratorPlatform FakeServices::platform() const
{
    ConfiguratorPlatform p;
    p.processes = processes;
    p.windows = windows;
    p.hid = hid;
    p.pairingWizard = wizard;
    p.shell = shell;
    p.programs = programs;
    p.createMessageWindow = [created = messageWindows] {
        auto window = std::make_unique<fake::FakeMessageWindow>();
        created->push_back(window.get());
        return std::unique_ptr<platform::MessageWindow>(std::move(window));
    };
    p.createCloseWindow = p.createMessageWindow;
    p.trayAvailable = [] { return true; };
    p.createWorkerWait = [t = time] { return std::unique_ptr<WorkerWait>(new VirtualWait(t)); };
    return p;
}

namespace {
QMutex g_mutex;
QStringList g_lines;
QtMessageHandler g_previous = nullptr;
} // namespace

LogCapture::LogCapture()
{
    QMutexLocker lock(&g_mutex);
    g_lines.clear();
    g_previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            {
                QMutexLocker lock(&g_mutex);
                g_lines.append(text);
            }
            if (g_previous)
                g_previous(type, context, text);
        });
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(g_previous);
}

int LogCapture::count(const QString &fragment) const
{
    QMutexLocker lock(&g_mutex);
    return int(std::count_if(g_lines.begin(), g_lines.end(),
                             [&](const QString &line) { return line.contains(fragment); }));
}
