#include "workerwait.h"

#include <QDeadlineTimer>

bool ThreadWait::sleep(int milliseconds)
{
    QMutexLocker lock(&m_mutex);
    QDeadlineTimer deadline(qMax(0, milliseconds));
    while (!m_interrupted && !deadline.hasExpired())
        m_wake.wait(&m_mutex, deadline);
    return !m_interrupted;
}

void ThreadWait::interrupt()
{
    QMutexLocker lock(&m_mutex);
    m_interrupted = true;
    m_wake.wakeAll();
}

void ThreadWait::reset()
{
    QMutexLocker lock(&m_mutex);
    m_interrupted = false;
}

bool ThreadWait::isInterrupted() const
{
    QMutexLocker lock(&m_mutex);
    return m_interrupted;
}
