#include "unavailable.h"

#include <QDebug>
#include <QMutex>
#include <QSet>

namespace platform::linuxport {

void reportUnavailable(const char *what)
{
    static QMutex mutex;
    static QSet<QByteArray> reported;
    QMutexLocker lock(&mutex);
    const QByteArray key(what);
    if (reported.contains(key))
        return;
    reported.insert(key);
    qWarning().noquote() << QString::fromUtf8(what) + QStringLiteral(": not available on this platform");
}

} // namespace platform::linuxport
