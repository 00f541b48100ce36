// Collects the process's debug log while a test runs (messages from any thread),
// with the programs' own categories switched on (they are off by default).
#pragma once

#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

class LogCapture
{
public:
    LogCapture() : m_previous(qInstallMessageHandler(&LogCapture::handler))
    {
        s_active = this;
        QLoggingCategory::setFilterRules(QStringLiteral("velko.*.debug=true"));
    }
    ~LogCapture()
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(m_previous);
        s_active = nullptr;
    }

    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }

    // Index of the first line containing `text` at or after `from`, or -1.
    int indexOf(const QString &text, int from = 0) const
    {
        QMutexLocker lock(&m_mutex);
        for (int i = from; i < m_lines.size(); ++i)
            if (m_lines.at(i).contains(text))
                return i;
        return -1;
    }
    bool contains(const QString &text) const { return indexOf(text) >= 0; }

    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_lines.clear();
    }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &msg)
    {
        if (LogCapture *self = s_active) {
            QMutexLocker lock(&self->m_mutex);
            self->m_lines << msg;
        }
    }

    inline static LogCapture *s_active = nullptr;
    mutable QMutex m_mutex;
    QStringList m_lines;
    QtMessageHandler m_previous;
};
