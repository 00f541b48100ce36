// The log-in and the session it opens.
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
    void loginReply_data();
    void loginReply();
    void sessionOfTheLastLogInIsSentBack();
};

void TestAccountOperations::loginReply_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("headers");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("stored"); // the new session replaces the old one
    const QByteArray ok = R"({"code":0,"data":{"nickname":"Ann"}})";
    const QByteArray token = "Authorization: tok-123\r\n";
    QTest::newRow("accepted") << 200 << token << ok << "0 Ann" << true;
    QTest::newRow("lower case among others")
        << 200 << QByteArray("X-Request-Id: 7\r\nauthorization: tok-123\r\n") << ok << "0 Ann"
        << true;
    QTest::newRow("upper case") << 200 << QByteArray("AUTHORIZATION: tok-123\r\n") << ok << "0 Ann"
                                << true;
    QTest::newRow("no header") << 200 << QByteArray() << ok << "0 Ann" << false;
    QTest::newRow("refused") << 200 << token << QByteArray(R"({"code":3,"msg":"Wrong password"})")
                             << "3 Wrong password" << false;
    QTest::newRow("code as text") << 200 << token
                                  << QByteArray(R"({"code":"0","data":{"nickname":"Ann"}})")
                                  << "10 " << false;
    QTest::newRow("code fractional")
        << 200 << token << QByteArray(R"({"code":0.5,"data":{"nickname":"Ann"}})") << "10 "
        << false;
    QTest::newRow("nickname not text")
        << 200 << token << QByteArray(R"({"code":0,"data":{"nickname":["Ann"]}})") << "0 " << true;
    QTest::newRow("data not an object")
        << 200 << token << QByteArray(R"({"code":0,"data":"Ann"})") << "0 " << true;
    QTest::newRow("msg ignored on success")
        << 200 << token << QByteArray(R"({"code":0,"msg":"hi","data":{"nickname":"Ann"}})")
        << "0 Ann" << true;
    QTest::newRow("status 500") << 500 << token << ok << "-1 " + kNetworkError << false;
}

void TestAccountOperations::loginReply()
{
    QFETCH(int, status);
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
    server.enqueue(body, status, headers);
    QCOMPARE(sendAndWait("LoginAccount"), result);
    // On disk at once, as a fresh reader of the file sees it.
    const QMap<QString, QString> info = iniOnDisk(box.mainFile());
    QCOMPARE(info["/INFO/token"], stored ? "tok-123" : "old-token");
    QCOMPARE(info["/INFO/email"], stored ? "ann@example.com" : "old@example.com");
    QCOMPARE(info["/INFO/nickName"], stored ? result.mid(2) : "Old");
    QCOMPARE(OperateToken().GetToken(), stored ? "tok-123" : "old-token");
}

void TestAccountOperations::sessionOfTheLastLogInIsSentBack()
{
    ScriptedHttpServer server;
    AccountSandbox box(server.baseUrl());
    const QByteArray token = R"(a=b;c="d" e)";
    server.enqueue(R"({"code":0,"data":{"nickname":"B"}})", 200, "Authorization: tok-b\r\n");
    server.enqueue(R"({"code":0,"data":{"nickname":"C"}})", 200,
                   "authorization: " + token + "\r\n");
    server.enqueue(R"({"code":0,"msg":"changed"})");
    LoginAccount login; // two attempts from one page
    QSignalSpy spy(&login, SIGNAL(sigLoginRet(int, QString)));
    login.VlPostLoginJson(QStringLiteral("b@example.com"), QStringLiteral("pw"));
    QCOMPARE(awaitResult(spy), QStringLiteral("0 B"));
    spy.clear();
    login.VlPostLoginJson(QStringLiteral("c@example.com"), QStringLiteral("pw"));
    QCOMPARE(awaitResult(spy), QStringLiteral("0 C"));
    OperateToken session;
    QCOMPARE(session.GetEmail(), QStringLiteral("c@example.com"));
    QCOMPARE(session.GetNickName(), QStringLiteral("C"));
    QCOMPARE(sendAndWait("UpdatePasswdAccount"), QStringLiteral("0 changed"));
    QCOMPARE(server.received.size(), 3);
    QCOMPARE(server.received[0].header("Authorization"), QByteArray("token_fail"));
    QCOMPARE(server.received[2].header("Authorization"), token);
}

QTEST_GUILESS_MAIN(TestAccountOperations)
#include "tst_accountoperations.moc"
