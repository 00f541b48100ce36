// What the pages use for the receiver: its presence, plug notifications and the
// pairing sequence on a worker thread. Qt Quick type Model.QX.PairDoWork 1.0.
#pragma once

#include <QObject>
#include <QString>

class MousePair;
class QThread;
class VLNativeEventFilter;
struct ConfiguratorPlatform;

class PairDoWork : public QObject
{
    Q_OBJECT
public:
    // Takes its services from ConfiguratorPlatform::current().
    explicit PairDoWork(QObject *parent = nullptr);
    PairDoWork(const ConfiguratorPlatform &services, QObject *parent = nullptr);
    // Abandons a running sequence and waits for the worker thread to end.
    ~PairDoWork() override;

    // Registers for USB plug notifications (once, from the main page).
    Q_INVOKABLE void BeginMonitor();
    // Whether a receiver is present: asks once, keeps the window alive for a
    // second, and asks again when the first answer was no, or when another check
    // was made meanwhile (a plug event handled during that second), so that a
    // receiver pulled out during the wait does not come back as present.
    Q_INVOKABLE bool CheckPlugInReceiver();
    // Runs the pairing sequence afresh; a sequence still running is abandoned
    // first and none of its texts arrive after this call.
    Q_INVOKABLE void BeginPair();

    MousePair *worker() const { return m_worker; }
    VLNativeEventFilter *filter() const { return m_filter; }

signals:
    void sigEnterPair(QString progress);
    void sigPairRet(QString progress);
    void sigPlugInReceiver(bool bRt);

private:
    void stopWorker();

    VLNativeEventFilter *m_filter;
    QThread *m_thread;
    MousePair *m_worker;
    quint64 m_checks = 0;
};
