// The nine request classes, described once for the table-driven tests: how to
// create and send each, the result signal, the path and the exact body sent.
#pragma once

#include "vlaccountmanage.h"

#include <QByteArray>
#include <QVector>

struct RequestKind
{
    const char *className;
    VLAccountManage *(*create)();
    void (*send)(VLAccountManage *request);
    const char *resultSignal; // in SIGNAL() form, for QSignalSpy
    QByteArray path;
    // The body sent by send(); for the upload, that of model "QX210" with its
    // defaults (AccountSandbox::chooseModel).
    QByteArray body;
    // The result of a reply "{}".
    int emptyObjectCode;
    bool emptyObjectIsServerError;
};

const QVector<RequestKind> &requestKinds();
const RequestKind *requestKind(const QByteArray &className);

// The upload body of model "QX210" with its defaults under "win10".
extern const QByteArray kDefaultUploadBody;
