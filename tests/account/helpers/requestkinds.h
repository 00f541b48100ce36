// The nine request classes, described once for the table-driven tests: the
// sender the pages invoke, its result signal, path and exact body.
#pragma once

#include "vlaccountmanage.h"

#include <QSignalSpy>
#include <QStringList>
#include <QVector>

struct RequestKind
{
    const char *className;
    VLAccountManage *(*create)();
    const char *sender; // a method the pages invoke by name, taking arguments
    QStringList arguments;
    const char *resultSignal; // its name; every result signal is (int, QString)
    QByteArray path;
    QByteArray body;     // for the upload, that of model "QX210" with its defaults
    int emptyObjectCode; // the result code of a reply "{}"
};

const QVector<RequestKind> &requestKinds();
const RequestKind &requestKind(const QByteArray &className);

// Waits for exactly one emission of a result signal: "<rCode> <rMsg>", or
// "no single result" when none came or more than one did.
QString awaitResult(QSignalSpy &spy);
// Creates a request of that kind, sends it and waits for its one result.
QString sendAndWait(const RequestKind &kind, int transferTimeoutMs = 0);
inline QString sendAndWait(const char *className)
{
    return sendAndWait(requestKind(className));
}

extern const QString kNetworkError; // the result text of a failed transfer
extern const QString kServerError;  // and of a reply the client cannot use
