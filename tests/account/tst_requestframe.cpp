// The frame every account request shares: endpoints, base URL, the request on the
// wire, the reply envelope and its failures, the transfer time-out and the refusal
// to send credentials in clear.
#include "accountoperations.h"
#include "accountsandbox.h"
#include "languagecode.h"
#include "operatetoken.h"
#include "requestkinds.h"
#include "scriptedhttpserver.h"

#include <QRegularExpression>
#include <QtTest>

class TestRequestFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { appenv::setLanguageCode(QStringLiteral("en")); }
    void endpointUrl_data();
    void endpointUrl();
    void safeDestination_data();
    void safeDestination();
    void requestOnTheWire_data();
    void requestOnTheWire();
    void reply_data();
    void reply();
    void refusesPlainHttpToOtherHosts();
    void twoRequestsInFlightFromOneObject();
};

void TestRequestFrame::initTestCase()
{
    quietAccountTests();
    // Until start-up installs the Chinese translation, the language code is English.
    QCOMPARE(appenv::languageCode(), QStringLiteral("en"));
}

void TestRequestFrame::endpointUrl_data()
{
    QTest::addColumn<QString>("configured"); // the main file's server key
    QTest::addColumn<QString>("base");
    QTest::newRow("absent") << kAbsent << "http://127.0.0.1:8790";
    QTest::newRow("blank") << "   "
                           << "http://127.0.0.1:8790";
    QTest::newRow("trailing slash") << "https://acc.example.com:8443/"
                                    << "https://acc.example.com:8443";
    QTest::newRow("blanks and slashes") << "  http://127.0.0.1:9000//  "
                                        << "http://127.0.0.1:9000";
}

void TestRequestFrame::endpointUrl()
{
    QFETCH(QString, configured);
    QFETCH(QString, base);
    AccountSandbox box;
    writeIni(box.mainFile(), QStringLiteral("/SET/server"), configured);
    const QStringList paths = {
        "/v1/user/login",           "/v1/user/register",         "/v1/user/updatePassword",
        "/v1/user/findPassword",    "/v1/user/validatePassword", "/v1/user/newPassword",
        "/v1/file/upload",          "/v1/driver/config2/save",   "/v1/driver/config2/get",
        "/v1/driver/latest/version"};
    VLAccountManage frame;
    for (uint i = 0; i < 10; ++i)
        QCOMPARE(frame.endpointUrl(i), base + paths[int(i)]);
    QCOMPARE(frame.endpointUrl(10), QString());
    QCOMPARE(frame.endpointUrl(0xFFFFFFFFu), QString());
    QCOMPARE(frame.transferTimeout(), 15000);
}

void TestRequestFrame::safeDestination_data()
{
    QTest::addColumn<bool>("safe"); // for the URL that names the row
    const QPair<const char *, bool> rows[] = {{"http://127.0.0.1:8790/v1/user/login", true},
                                              {"http://127.8.9.10/x", true},
                                              {"http://[::1]:8790/x", true},
                                              {"http://LOCALHOST/x", true},
                                              {"https://acc.example.com/x", true},
                                              {"http://acc.example.com/x", false},
                                              {"http://10.0.0.1/x", false},
                                              {"http://127.0.0.1.example.com/x", false},
                                              {"http://localhost.example.com/x", false},
                                              {"ftp://127.0.0.1/x", false},
                                              {"/v1/user/login", false}};
    for (const auto &row : rows)
        QTest::newRow(row.first) << row.second;
}

void TestRequestFrame::safeDestination()
{
    QFETCH(bool, safe);
    const QUrl url(QString::fromUtf8(QTest::currentDataTag()), QUrl::TolerantMode);
    QCOMPARE(VLAccountManage::isSafeDestination(url), safe);
}

void TestRequestFrame::requestOnTheWire_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("token"); // as stored
    QTest::addColumn<QByteArray>("authorization");
    // Every kind builds the same headers: the sessions take turns over the kinds.
    const QStringList tokens = {kAbsent, "eyJhbGciOi.J9=", ""};
    const QList<QByteArray> authorizations = {"token_fail", "eyJhbGciOi.J9=", "token_fail"};
    for (int i = 0; i < requestKinds().size(); ++i)
        QTest::newRow(requestKinds()[i].className)
            << (i % 2 ? "zh" : "en") << tokens[i % 3] << authorizations[i % 3];
}

void TestRequestFrame::requestOnTheWire()
{
    QFETCH(QString, language);
    QFETCH(QString, token);
    QFETCH(QByteArray, authorization);
    const RequestKind &kind = requestKind(QTest::currentDataTag());
    ScriptedHttpServer server;
    AccountSandbox box(server.baseUrl());
    appenv::setLanguageCode(language);
    if (token != kAbsent)
        OperateToken().SetToken(token);
    server.enqueue(R"({"code":7})");
    QCOMPARE(sendAndWait(kind), QStringLiteral("7 "));
    QCOMPARE(server.received.size(), 1);
    const ReceivedRequest &request = server.received.at(0);
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, kind.path);
    QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
    QCOMPARE(request.header("lang"), language.toUtf8());
    QCOMPARE(request.header("Authorization"), authorization);
    QCOMPARE(request.body, kind.body);
}

void TestRequestFrame::reply_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<int>("status"); // 0: no answer
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("result");
    const QByteArray success = R"({"code":0,"msg":"fine","data":{"nickname":"Ann","version":"0.9",)"
                               R"("configContent":"{\"mid_web_url\":\"x\"}"}})";
    for (const RequestKind &kind : requestKinds()) {
        const QByteArray name = kind.className;
        const int empty = kind.emptyObjectCode;
        QTest::newRow(name + " status 500") << name << 500 << success << "-1 " + kNetworkError;
        QTest::newRow(name + " no answer") << name << 0 << QByteArray() << "-1 " + kNetworkError;
        QTest::newRow(name + " {}")
            << name << 200 << QByteArray("{}")
            << QString::number(empty) + (empty == -1 ? " " + kServerError : " ");
        QTest::newRow(name + " not JSON")
            << name << 200 << QByteArray("<html>Bad gateway</html>") << "-1 " + kServerError;
        QTest::newRow(name + " failure")
            << name << 200 << QByteArray(R"({"code":1003,"msg":"Account locked"})")
            << "1003 Account locked";
        QTest::newRow(name + " msg not text")
            << name << 200 << QByteArray(R"({"code":4,"msg":{"text":"no"}})") << "4 ";
        if (QByteArrayList{"LoginAccount", "GetDriverConf", "GetSoftwareVersion"}.contains(name))
            continue; // the others read "code" (0 unless a whole number) and "msg" alike
        QTest::newRow(name + " success with msg")
            << name << 200 << QByteArray(R"({"code":0,"msg":"Mail sent"})") << "0 Mail sent";
        QTest::newRow(name + " msg without code")
            << name << 200 << QByteArray(R"({"msg":"Done"})") << "0 Done";
        QTest::newRow(name + " code as text")
            << name << 200 << QByteArray(R"({"code":"5","msg":"x"})") << "0 x";
    }
    QTest::newRow("array") << QByteArray("FindPasswd") << 200 << QByteArray("[0]")
                           << "-1 " + kServerError;
}

void TestRequestFrame::reply()
{
    QFETCH(QByteArray, kind);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, result);
    ScriptedHttpServer server;
    AccountSandbox box(server.baseUrl());
    // With a session header that none of these replies may store.
    server.enqueue(body, status, "Authorization: tok\r\n");
    const QByteArray modelBefore = bytesOf(box.modelFile());
    QCOMPARE(sendAndWait(requestKind(kind), status == 0 ? 150 : 0), result);
    QCOMPARE(server.received.size(), 1);
    QCOMPARE(readIni(box.mainFile(), "/INFO/token"), kAbsent);
    QCOMPARE(bytesOf(box.modelFile()), modelBefore);
}

void TestRequestFrame::refusesPlainHttpToOtherHosts()
{
    // A name that never resolves: a request sent anyway would fail without the
    // refusal's warning, which the test requires.
    AccountSandbox box(QStringLiteral("http://account.velko.invalid:8790"));
    OperateToken().SetToken(QStringLiteral("secret-session"));
    const QString warning =
        "^%1: refused to send /v1/\\S+ to \"http://account\\.velko\\.invalid:8790\"";
    for (const RequestKind &kind : requestKinds()) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning.arg(kind.className)));
        QCOMPARE(sendAndWait(kind), "-1 " + kNetworkError);
    }
}

void TestRequestFrame::twoRequestsInFlightFromOneObject()
{
    ScriptedHttpServer server;
    AccountSandbox box(server.baseUrl());
    server.enqueue(R"({"code":0,"msg":"first"})");
    server.enqueue(R"({"code":2,"msg":"second"})");
    FindPasswd request;
    QSignalSpy spy(&request, SIGNAL(sigFindPwdRet(int, QString)));
    request.VlFindPasswdJson(QStringLiteral("a@example.com"));
    request.VlFindPasswdJson(QStringLiteral("b@example.com"));
    while (spy.size() < 2)
        QVERIFY(spy.wait(10000));
    QSet<QString> results;
    for (const QList<QVariant> &args : qAsConst(spy))
        results << QStringLiteral("%1 %2").arg(args.at(0).toInt()).arg(args.at(1).toString());
    QCOMPARE(results, (QSet<QString>{"0 first", "2 second"}));
}

QTEST_GUILESS_MAIN(TestRequestFrame)
#include "tst_requestframe.moc"
