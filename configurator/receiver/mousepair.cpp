#include "mousepair.h"

#include "hid.h"
#include "workerwait.h"

#include <QDebug>

const QString MousePair::kEnterSuccess = QStringLiteral("enterSuccess");
const QString MousePair::kEnterFailure = QStringLiteral("enterFailure");
const QString MousePair::kPairSuccess = QStringLiteral("pairSuccess");
const QString MousePair::kPairFailure = QStringLiteral("pairFailure");

MousePair::MousePair(std::shared_ptr<platform::HidSystem> hid, std::unique_ptr<WorkerWait> wait,
                     QObject *parent)
    : QObject(parent), m_wait(std::move(wait)), m_link(std::move(hid), *m_wait)
{
}

MousePair::~MousePair() = default;

bool MousePair::GetPidVid()
{
    return m_link.GetPidVid();
}

void MousePair::abandon()
{
    m_abandoned = true;
    m_wait->interrupt();
}

void MousePair::resetAbandon()
{
    m_abandoned = false;
    m_wait->reset();
}

bool MousePair::isAbandoned() const
{
    return m_abandoned;
}

void MousePair::report(void (MousePair::*signal)(QString), const QString &text)
{
    // A sequence being abandoned keeps its texts to itself.
    if (!m_abandoned)
        emit(this->*signal)(text);
}

void MousePair::slots_pair()
{
    runSequence();
}

void MousePair::runSequence()
{
    QString result = kPairFailure;

    if (m_link.openReceiver(ReceiverLink::kVendorId, ReceiverLink::kProductFirst))
        m_link.useReceiver(ReceiverLink::kProductFirst);
    else if (m_link.openReceiver(ReceiverLink::kVendorId, ReceiverLink::kProductSecond))
        m_link.useReceiver(ReceiverLink::kProductSecond);
    if (m_abandoned)
        return;

    const bool entered = m_link.enterPairing();
    if (m_abandoned)
        return;
    if (!entered) {
        report(&MousePair::sigEnterPairState, kEnterFailure);
        return;
    }
    report(&MousePair::sigEnterPairState, kEnterSuccess);

    if (!m_wait->sleep(kSettleMs))
        return;

    bool paired = false;
    for (int round = 0; round < kStateRounds && !paired; ++round) {
        if (!m_wait->sleep(kStateWaitMs))
            return;
        int state = 0;
        const bool answered = m_link.readPairState(state);
        if (m_abandoned)
            return;
        paired = answered && state == ReceiverLink::kStatePaired;
    }
    if (!paired) {
        report(&MousePair::sigPairResult, kPairFailure);
        return;
    }

    m_link.confirmPairing();
    if (m_abandoned)
        return;

    for (int round = 0; round < kModeRounds; ++round) {
        if (!m_wait->sleep(kModeWaitMs))
            return;
        const quint8 mode = m_link.queryMode();
        if (m_abandoned)
            return;
        qDebug() << "dwMode " << mode;
        if (mode == ReceiverLink::kModeIdle) {
            result = kPairSuccess;
            break;
        }
    }
    report(&MousePair::sigPairResult, result);
}
