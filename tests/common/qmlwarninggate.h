// A QML warning is a defect: once installed, every warning or error the QML engine
// prints (a binding's ReferenceError, a type error, a binding loop, a component that
// does not load) fails the test function that is running, and is counted for
// programs that are not test suites. Install it after QtTest has set up its log (in
// initTestCase): the message still goes on to the handler that was there before.
#pragma once

#include <QAtomicInt>
#include <QString>
#include <QtTest>

namespace qmlgate {

// Whether a message comes from the QML engine or a document: its location or text
// names a document, or it is logged under the engine's categories.
inline bool isQmlMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return false;
    const QString file = QString::fromUtf8(context.file ? context.file : "");
    const QString category = QString::fromUtf8(context.category ? context.category : "");
    const auto fromDocument = [](const QString &s) {
        return s.startsWith(QLatin1String("qrc:")) || s.startsWith(QLatin1String("file:")) ||
               s.startsWith(QLatin1String("<Unknown File>")) || s.startsWith(QLatin1String("QQml"));
    };
    return category == QLatin1String("qml") || category == QLatin1String("js") ||
           category.startsWith(QLatin1String("qt.qml")) || fromDocument(file) ||
           fromDocument(text);
}

inline QAtomicInt &count()
{
    static QAtomicInt n;
    return n;
}

namespace detail {
inline QtMessageHandler &previous()
{
    static QtMessageHandler p = nullptr;
    return p;
}
inline int &expecting()
{
    static int n = 0;
    return n;
}
inline void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (previous())
        previous()(type, context, text);
    if (expecting() > 0 || !isQmlMessage(type, context, text))
        return;
    count().ref();
    if (QTest::currentTestFunction())
        QTest::qFail(qPrintable(QStringLiteral("QML warning: ") + text), __FILE__, __LINE__);
}
} // namespace detail

// While one lives (main thread), QML messages are part of what a test expects (a
// page that must fail to load) and fail nothing.
class Expected
{
public:
    Expected() { ++detail::expecting(); }
    ~Expected() { --detail::expecting(); }
    Expected(const Expected &) = delete;
    Expected &operator=(const Expected &) = delete;
};

// Idempotent: a second call leaves the chain as it is.
inline void install()
{
    const QtMessageHandler before = qInstallMessageHandler(&detail::handler);
    if (before != &detail::handler)
        detail::previous() = before;
}

} // namespace qmlgate
