#include "accountsandbox.h"
#include "requestkinds.h"
#include "typeregistry.h"

#include <QMetaMethod>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

class TestAccountTypes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        quietAccountTests();
        registerConfiguratorTypes();
    }

    void creatableUnderItsModule_data()
    {
        QTest::addColumn<QString>("result"); // the result signal
        for (const RequestKind &kind : requestKinds())
            QTest::newRow(kind.className) << QString(kind.resultSignal);
    }

    void creatableUnderItsModule()
    {
        QFETCH(QString, result);
        const QString type = QString::fromLatin1(QTest::currentDataTag());
        const QString module = "Account.Manager." + type;
        AccountSandbox box;
        QQmlEngine engine;
        QQmlComponent component(&engine), wrongVersion(&engine);
        component.setData(QStringLiteral("import %1 1.0\n%2 {}\n").arg(module, type).toUtf8(),
                          QUrl());
        std::unique_ptr<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));
        wrongVersion.setData(QStringLiteral("import %1 2.0\n%2 {}\n").arg(module, type).toUtf8(),
                             QUrl());
        QVERIFY(wrongVersion.isError()); // only version 1.0 exists
        // The pages' handlers name the arguments; the log-in page connects a function of its own.
        const QMetaObject *meta = object->metaObject();
        const int index = meta->indexOfSignal(qPrintable(result + "(int,QString)"));
        QVERIFY(index >= 0);
        if (type != "LoginAccount")
            QCOMPARE(meta->method(index).parameterNames(), (QList<QByteArray>{"rCode", "rMsg"}));
    }
};

QTEST_GUILESS_MAIN(TestAccountTypes)
#include "tst_accounttypes.moc"
