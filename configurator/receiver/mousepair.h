// The pairing worker: runs the pairing sequence with the receiver on the worker
// thread of PairDoWork and reports its progress as texts.
#pragma once

#include "receiverlink.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

namespace platform {
class HidSystem;
}
class WorkerWait;

class MousePair : public QObject
{
    Q_OBJECT
public:
    // Progress texts.
    static const QString kEnterSuccess; // "enterSuccess"
    static const QString kEnterFailure; // "enterFailure"
    static const QString kPairSuccess;  // "pairSuccess"
    static const QString kPairFailure;  // "pairFailure"

    // Rounds and waits of the sequence, in milliseconds.
    static constexpr int kSettleMs = 1000;
    static constexpr int kStateRounds = 30;
    static constexpr int kStateWaitMs = 800;
    static constexpr int kModeRounds = 5;
    static constexpr int kModeWaitMs = 200;

    MousePair(std::shared_ptr<platform::HidSystem> hid, std::unique_ptr<WorkerWait> wait,
              QObject *parent = nullptr);
    ~MousePair() override;

    // The presence check; any thread.
    bool GetPidVid();

    // Makes the running sequence stop at its next step without reporting anything
    // more, and cuts its current wait short. Any thread.
    void abandon();
    // Lets the next sequence run. Call only while no sequence runs.
    void resetAbandon();
    bool isAbandoned() const;

signals:
    void sigEnterPairState(QString progress);
    void sigPairResult(QString progress);

public slots:
    // The pairing sequence. Worker thread.
    void slots_pair();

private:
    // Runs the sequence; once abandoned it stops at the next step without a word.
    void runSequence();
    void report(void (MousePair::*signal)(QString), const QString &text);

    std::unique_ptr<WorkerWait> m_wait;
    ReceiverLink m_link;
    std::atomic<bool> m_abandoned{false};
};
