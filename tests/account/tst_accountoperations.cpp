#include "accountsandbox.h"
#include "loginaccount.h"
#include "operatetoken.h"
#include "requestkinds.h"
#include "scriptedhttpserver.h"

#include <QtTest>

class TestAccountOperations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietAccountTests(); }

    void loginReply_data()
    {
        QTest::addColumn<QByteArray>("headers");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("stored"); // the new session replaces the old one
        const auto row = [](const char *tag, const char *headers, const char *body,
                            const char *result, bool stored) {
            QTest::newRow(tag) << QByteArray(headers) << QByteArray(body) << result << stored;
        };
        const char *ok = R"({"code":0,"data":{"nickname":"Ann"}})",
                   *token = "Authorization: tok-123\r\n";
        row("accepted", token, ok, "0 Ann", true);
        row("any case, among others", "X-Request-Id: 7\r\naUThorization: tok-123\r\n", ok, "0 Ann",
            true);
        row("no header", "", ok, "0 Ann", false);
        row("refused", token, R"({"code":3,"msg":"Wrong password"})", "3 Wrong password", false);
        row("code as text", token, R"({"code":"0","data":{"nickname":"Ann"}})", "10 ", false);
        row("nickname not text", token, R"({"code":0,"data":{"nickname":["Ann"]}})", "0 ", true);
    }

    void loginReply()
    {
        QFETCH(QByteArray, headers);
        QFETCH(QByteArray, body);
        QFETCH(QString, result);
        QFETCH(bool, stored);
        ScriptedHttpServer server;
        AccountSandbox box(server.baseUrl());
        OperateToken previous;
        previous.SetToken(QStringLiteral("old-token"));
        previous.SetEmail(QStringLiteral("old@example.com"));
        previous.SetNickName(QStringLiteral("Old"));
        server.enqueue(body, 200, headers);
        QCOMPARE(sendAndWait("LoginAccount"), result);
        const QMap<QString, QString> info = iniOnDisk(box.mainFile()); // on disk at once
        QCOMPARE(info["/INFO/token"], stored ? "tok-123" : "old-token");
        QCOMPARE(info["/INFO/email"], stored ? "ann@example.com" : "old@example.com");
        QCOMPARE(info["/INFO/nickName"], stored ? result.mid(2) : "Old");
        QCOMPARE(OperateToken().GetToken(), stored ? "tok-123" : "old-token");
    }

};

QTEST_GUILESS_MAIN(TestAccountOperations)
#include "tst_accountoperations.moc"
