#include "accountsandbox.h"
#include "logcapture.h"
#include "operatetoken.h"
#include "scriptedhttpserver.h"

#include <QtTest>

class TestOperateToken : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietAccountTests(); }

    void getToken_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("token");
        for (const QString &stored : {kAbsent, QString(), QString("NULL"), QString("null")})
            QTest::newRow(qPrintable("stored " + stored)) << stored << "token_fail";
        for (const char *token : {"eyJ0eXAi.x.y", "nullable", " "})
            QTest::newRow(token) << QString(token) << QString(token);
    }

    void getToken()
    {
        QFETCH(QString, stored);
        QFETCH(QString, token);
        AccountSandbox box;
        writeIni(box.mainFile(), "/INFO/token", stored);
        QCOMPARE(OperateToken().GetToken(), token);
    }

    void theTokenIsMaskedInTheLog()
    {
        AccountSandbox box;
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=true"));
        LogCapture log;
        OperateToken session;
        session.SetToken(QStringLiteral("s3cr3t-t0k"));
        QCOMPARE(session.GetToken(), QStringLiteral("s3cr3t-t0k"));
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        QVERIFY(log.contains(QStringLiteral("/INFO/token")));
        QVERIFY(!log.lines().join('\n').contains(QStringLiteral("s3cr3t")));
    }

    void signOutEndsTheServersSessionAndForgetsTheTokenWhateverTheAnswer_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("ended") << 200;
        QTest::newRow("server error") << 500;
    }

    void signOutEndsTheServersSessionAndForgetsTheTokenWhateverTheAnswer()
    {
        QFETCH(int, status);
        ScriptedHttpServer server;
        server.enqueue(R"({"code":0,"msg":"Signed out","data":{}})", status);
        AccountSandbox box(server.baseUrl());
        OperateToken session;
        session.SetToken(QStringLiteral("tok"));
        session.SignOut();
        QCOMPARE(session.GetToken(), QStringLiteral("token_fail")); // at once
        QTRY_COMPARE(server.received.size(), 1);
        QCOMPARE(server.received.at(0).path, QByteArray("/v1/user/logout"));
        QCOMPARE(server.received.at(0).header("Authorization"), QByteArray("tok"));
        QTest::qWait(50); // the answer arrives; the signed-out state stays
        QCOMPARE(OperateToken().GetToken(), QStringLiteral("token_fail"));
    }
};

QTEST_GUILESS_MAIN(TestOperateToken)
#include "tst_operatetoken.moc"
