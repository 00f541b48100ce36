#include "fakeservices.h"

#include <QMutex>
#include <QMutexLocker>

ConfiguratorPlatform FakeServices::platform() const
{
    ConfiguratorPlatform p;
    p.hid = hid;
    p.processes = processes;
    p.windows = windows;
    p.pairingWizard = wizard;
    auto created = messageWindows;
    p.createMessageWindow = [created]() -> std::unique_ptr<platform::MessageWindow> {
        auto window = std::make_unique<platform::fake::FakeMessageWindow>();
        created->push_back(window.get());
        return window;
    };
    auto clock = time;
    p.createWorkerWait = [clock]() -> std::unique_ptr<WorkerWait> {
        return std::make_unique<VirtualWait>(clock);
    };
    return p;
}

void FakeServices::install() const
{
    ConfiguratorPlatform::install(platform());
}

std::unique_ptr<platform::fake::FakeReceiver> FakeServices::makeReceiver() const
{
    auto clock = time;
    return std::make_unique<platform::fake::FakeReceiver>([clock] { return clock->now(); });
}

namespace {
QMutex g_logMutex;
QStringList g_lines;
QtMessageHandler g_previous = nullptr;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    {
        QMutexLocker lock(&g_logMutex);
        g_lines.append(text);
    }
    if (g_previous)
        g_previous(type, context, text);
}
} // namespace

LogCapture::LogCapture()
{
    QMutexLocker lock(&g_logMutex);
    g_lines.clear();
    g_previous = qInstallMessageHandler(capture);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(g_previous);
    QMutexLocker lock(&g_logMutex);
    g_lines.clear();
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&g_logMutex);
    return g_lines;
}

int LogCapture::count(const QString &fragment) const
{
    QMutexLocker lock(&g_logMutex);
    int n = 0;
    for (const QString &line : g_lines)
        if (line.contains(fragment))
            ++n;
    return n;
}
