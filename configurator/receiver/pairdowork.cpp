#include "pairdowork.h"

#include "configuratorplatform.h"
#include "mousepair.h"
#include "vlnativeeventfilter.h"
#include "workerwait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>

PairDoWork::PairDoWork(QObject *parent) : PairDoWork(ConfiguratorPlatform::current(), parent) {}

PairDoWork::PairDoWork(const ConfiguratorPlatform &services, QObject *parent)
    : QObject(parent), m_filter(new VLNativeEventFilter(services.createMessageWindow(), this)),
      m_thread(new QThread), m_worker(new MousePair(services.hid, services.createWorkerWait()))
{
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::started, m_worker, &MousePair::slots_pair);
    connect(m_worker, &MousePair::sigPairResult, this, &PairDoWork::sigPairRet);
    connect(m_worker, &MousePair::sigEnterPairState, this, &PairDoWork::sigEnterPair);
    connect(m_filter, &VLNativeEventFilter::sigConnectDev, this, &PairDoWork::sigPlugInReceiver);
}

PairDoWork::~PairDoWork()
{
    stopWorker();
    delete m_worker;
    delete m_thread;
}

void PairDoWork::stopWorker()
{
    if (!m_thread->isRunning())
        return;
    m_worker->abandon();
    m_thread->quit();
    m_thread->wait();
    // Texts the abandoned sequence sent before it noticed are still queued here.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
}

void PairDoWork::BeginMonitor()
{
    m_filter->Register();
}

bool PairDoWork::CheckPlugInReceiver()
{
    const quint64 check = ++m_checks;
    const bool first = m_worker->GetPidVid();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        QThread::msleep(5);
    }
    // An exit requested meanwhile ("exit" in the tray menu) must still end the
    // event loop that called us. On Windows these nested rounds clear its wake-up,
    // and while timers keep arriving it would not look at its exit flag again.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->interrupt();
    // A check made meanwhile (a plug event) may have seen the receiver go: then
    // only a fresh look says how things stand now.
    return first && m_checks == check ? true : m_worker->GetPidVid();
}

void PairDoWork::BeginPair()
{
    stopWorker();
    m_worker->resetAbandon();
    m_thread->start(QThread::InheritPriority);
}
