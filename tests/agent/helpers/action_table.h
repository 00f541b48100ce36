// The table layout the action tests share: an operation, the model file's values
// it needs, the effects it must have and the texts it must (or, with "!", must
// not) log.
#pragma once

#include "logcapture.h"

#include <QStringList>
#include <QtTest>

template <typename Operation> void addActionColumns()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QStringList>("values"); // "key=value" for the model's file
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("logged"); // "!text": must not be logged
}

// Adds one row: add("name", operation, expected, values, logged).
template <typename Operation> struct ActionRows
{
    void operator()(const QByteArray &name, const Operation &op, const QStringList &expected,
                    const QStringList &values = {}, const QStringList &logged = {}) const
    {
        QTest::newRow(name.constData()) << op << values << expected << logged;
    }
};

inline void verifyLogged(const LogCapture &log, const QStringList &logged)
{
    for (const QString &text : logged)
        QVERIFY2(log.contains(text.mid(text.startsWith('!'))) != text.startsWith('!'),
                 qPrintable(text));
}
