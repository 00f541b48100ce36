// Log-in with its session handling, and the replies of the other account
// operations, against the scripted loopback server.
#include "accountoperations.h"
#include "accountsandbox.h"
#include "loginaccount.h"
#include "operatetoken.h"
#include "requestkinds.h"
#include "scriptedhttpserver.h"

#include <QLoggingCategory>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(HeaderList)

namespace {
const QString kNetworkError = QStringLiteral("Network Error, please try again later");
const QString kServerError = QStringLiteral("Server error, please try again later");
const QString kTypedEmail = QStringLiteral("ann@example.com");
} // namespace

class TestAccountOperations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loginReply_data();
    void loginReply();
    void loginStoresTheMostRecentEmail();
    void sessionIsSentBackAfterLogin();
    void operationReply_data();
    void operationReply();

private:
    std::unique_ptr<AccountSandbox> m_sandbox;
    std::unique_ptr<ScriptedHttpServer> m_server;
};

void TestAccountOperations::initTestCase()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

void TestAccountOperations::init()
{
    m_sandbox = std::make_unique<AccountSandbox>();
    m_server = std::make_unique<ScriptedHttpServer>();
    QVERIFY(m_sandbox->isValid());
    QVERIFY(m_server->isListening());
    m_sandbox->useServer(*m_server);
}

void TestAccountOperations::cleanup()
{
    m_server.reset();
    m_sandbox.reset();
}

void TestAccountOperations::loginReply_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<HeaderList>("headers");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("msg");
    QTest::addColumn<bool>("stored"); // the new session replaces the old one

    const QByteArray accepted = R"({"code":0,"data":{"nickname":"Ann"}})";
    const HeaderList token = {{"Authorization", "tok-123"}};

    QTest::newRow("accepted") << 200 << token << accepted << 0 << "Ann" << true;
    QTest::newRow("header in lower case")
        << 200 << HeaderList{{"authorization", "tok-123"}} << accepted << 0 << "Ann" << true;
    QTest::newRow("header in upper case")
        << 200 << HeaderList{{"AUTHORIZATION", "tok-123"}} << accepted << 0 << "Ann" << true;
    QTest::newRow("header among others")
        << 200 << HeaderList{{"X-Request-Id", "7"}, {"Authorization", "tok-123"}, {"Server", "t"}}
        << accepted << 0 << "Ann" << true;
    QTest::newRow("accepted without header")
        << 200 << HeaderList{} << accepted << 0 << "Ann" << false;
    QTest::newRow("refused with header")
        << 200 << token << QByteArray(R"({"code":3,"msg":"Wrong password"})") << 3
        << "Wrong password" << false;
    QTest::newRow("refused, message not text")
        << 200 << token << QByteArray(R"({"code":3,"msg":42})") << 3 << "" << false;
    QTest::newRow("no code") << 200 << token << QByteArray(R"({"data":{}})") << 10 << "" << false;
    QTest::newRow("empty object") << 200 << token << QByteArray("{}") << 10 << "" << false;
    QTest::newRow("code as text") << 200 << token
                                  << QByteArray(R"({"code":"0","data":{"nickname":"Ann"}})") << 10
                                  << "" << false;
    QTest::newRow("code fractional")
        << 200 << token << QByteArray(R"({"code":0.5,"data":{"nickname":"Ann"}})") << 10 << ""
        << false;
    QTest::newRow("nickname missing")
        << 200 << token << QByteArray(R"({"code":0,"data":{}})") << 0 << "" << true;
    QTest::newRow("nickname not text")
        << 200 << token << QByteArray(R"({"code":0,"data":{"nickname":["Ann"]}})") << 0 << ""
        << true;
    QTest::newRow("data not an object")
        << 200 << token << QByteArray(R"({"code":0,"data":"Ann"})") << 0 << "" << true;
    QTest::newRow("message ignored on success")
        << 200 << token << QByteArray(R"({"code":0,"msg":"hello","data":{"nickname":"Ann"}})") << 0
        << "Ann" << true;
    QTest::newRow("status 500") << 500 << token << accepted << -1 << kNetworkError << false;
    QTest::newRow("status 404") << 404 << token << accepted << -1 << kNetworkError << false;
    QTest::newRow("body not JSON")
        << 200 << token << QByteArray("<html>Login</html>") << -1 << kServerError << false;
}

void TestAccountOperations::loginReply()
{
    QFETCH(int, status);
    QFETCH(HeaderList, headers);
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(QString, msg);
    QFETCH(bool, stored);

    OperateToken previous;
    previous.SetToken(QStringLiteral("old-token"));
    previous.SetEmail(QStringLiteral("old@example.com"));
    previous.SetNickName(QStringLiteral("Old"));

    m_server->enqueue(ScriptedReply::json(body, status, headers));
    LoginAccount login;
    QSignalSpy spy(&login, SIGNAL(sigLoginRet(int, QString)));
    login.VlPostLoginJson(kTypedEmail, QStringLiteral("pw"));
    QVERIFY(waitForOneResult(spy));
    QCOMPARE(spy.at(0).at(0).toInt(), code);
    QCOMPARE(spy.at(0).at(1).toString(), msg);

    // What a fresh reader of the file sees: the values are on disk at once.
    const QString file = m_sandbox->mainFile();
    QCOMPARE(AccountSandbox::valueOnDisk(file, "/INFO/token"), stored ? "tok-123" : "old-token");
    QCOMPARE(AccountSandbox::valueOnDisk(file, "/INFO/email"),
             stored ? kTypedEmail : "old@example.com");
    QCOMPARE(AccountSandbox::valueOnDisk(file, "/INFO/nickName"), stored ? msg : "Old");
    QCOMPARE(OperateToken().GetToken(), stored ? "tok-123" : "old-token");
}

void TestAccountOperations::loginStoresTheMostRecentEmail()
{
    // Two attempts from one page: the session belongs to the address of the last one.
    m_server->enqueue(ScriptedReply::json(R"({"code":0,"data":{"nickname":"B"}})", 200,
                                          {{"Authorization", "tok-b"}}));
    LoginAccount login;
    QSignalSpy spy(&login, SIGNAL(sigLoginRet(int, QString)));
    login.VlPostLoginJson(QStringLiteral("b@example.com"), QStringLiteral("pw"));
    QVERIFY(waitForOneResult(spy));
    QCOMPARE(OperateToken().GetEmail(), QStringLiteral("b@example.com"));

    m_server->enqueue(ScriptedReply::json(R"({"code":0,"data":{"nickname":"C"}})", 200,
                                          {{"Authorization", "tok-c"}}));
    spy.clear();
    login.VlPostLoginJson(QStringLiteral("c@example.com"), QStringLiteral("pw"));
    QVERIFY(waitForOneResult(spy));
    OperateToken session;
    QCOMPARE(session.GetToken(), QStringLiteral("tok-c"));
    QCOMPARE(session.GetEmail(), QStringLiteral("c@example.com"));
    QCOMPARE(session.GetNickName(), QStringLiteral("C"));
}

void TestAccountOperations::sessionIsSentBackAfterLogin()
{
    const QByteArray token = R"(a=b;c="d" e)";
    m_server->enqueue(ScriptedReply::json(R"({"code":0,"data":{"nickname":"Ann"}})", 200,
                                          {{"authorization", token}}));
    m_server->enqueue(ScriptedReply::json(R"({"code":0,"msg":"changed"})"));
    {
        LoginAccount login;
        QSignalSpy spy(&login, SIGNAL(sigLoginRet(int, QString)));
        login.VlPostLoginJson(kTypedEmail, QStringLiteral("pw"));
        QVERIFY(waitForOneResult(spy));
    }
    UpdatePasswdAccount update;
    QSignalSpy spy(&update, SIGNAL(sigUpdatePwdRet(int, QString)));
    update.VlUpdatePasswdJson(kTypedEmail, QStringLiteral("old"), QStringLiteral("new"));
    QVERIFY(waitForOneResult(spy));
    QCOMPARE(spy.at(0).at(0).toInt(), 0);
    QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("changed"));

    QCOMPARE(m_server->received().size(), 2);
    QCOMPARE(m_server->received().at(0).header("Authorization"), QByteArray("token_fail"));
    QCOMPARE(m_server->received().at(1).header("Authorization"), token);
}

void TestAccountOperations::operationReply_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("msg");
    for (const char *kind : {"RegisterAccount", "UpdatePasswdAccount", "FindPasswd",
                             "ValidatePassword", "NewPassword", "SaveConfigInfo"}) {
        const QByteArray name = kind;
        QTest::newRow(name + " success without msg")
            << name << QByteArray(R"({"code":0})") << 0 << "";
        QTest::newRow(name + " success with msg")
            << name << QByteArray(R"({"code":0,"msg":"Mail sent"})") << 0 << "Mail sent";
        QTest::newRow(name + " msg without code")
            << name << QByteArray(R"({"msg":"Done"})") << 0 << "Done";
        QTest::newRow(name + " code as text")
            << name << QByteArray(R"({"code":"5","msg":"x"})") << 0 << "x";
        QTest::newRow(name + " code null") << name << QByteArray(R"({"code":null})") << 0 << "";
        QTest::newRow(name + " failure")
            << name << QByteArray(R"({"code":2001,"msg":"Captcha expired"})") << 2001
            << "Captcha expired";
        QTest::newRow(name + " msg number")
            << name << QByteArray(R"({"code":1,"msg":1})") << 1 << "";
    }
}

void TestAccountOperations::operationReply()
{
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(QString, msg);
    const RequestKind &k = *requestKind(kind);
    m_sandbox->chooseModel(QStringLiteral("QX210"));
    m_server->enqueue(ScriptedReply::json(body));
    std::unique_ptr<VLAccountManage> request(k.create());
    QSignalSpy spy(request.get(), k.resultSignal);
    k.send(request.get());
    QVERIFY(waitForOneResult(spy));
    QCOMPARE(spy.at(0).at(0).toInt(), code);
    QCOMPARE(spy.at(0).at(1).toString(), msg);
    // None of these touches the session.
    QCOMPARE(m_sandbox->mainValue("/INFO/token"), kAbsent);
}

QTEST_GUILESS_MAIN(TestAccountOperations)
#include "tst_accountoperations.moc"
