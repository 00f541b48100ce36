// The request frame shared by every account request: endpoints, base URL, the
// headers and bodies on the wire, the reply envelope and its failures, the
// transfer time-out and the refusal to send credentials in clear.
#include "accountoperations.h"
#include "accountsandbox.h"
#include "languagecode.h"
#include "operatetoken.h"
#include "requestkinds.h"
#include "scriptedhttpserver.h"
#include "vlaccountmanage.h"

#include <QLoggingCategory>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSslSocket>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace {
const QString kNetworkError = QStringLiteral("Network Error, please try again later");
const QString kServerError = QStringLiteral("Server error, please try again later");
} // namespace

class TestRequestFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void endpointUrl_data();
    void endpointUrl();
    void baseUrl_data();
    void baseUrl();
    void safeDestination_data();
    void safeDestination();

    void requestOnTheWire_data();
    void requestOnTheWire();
    void languageAndSessionHeaders_data();
    void languageAndSessionHeaders();

    void httpErrorStatus_data();
    void httpErrorStatus();
    void emptyObject_data();
    void emptyObject();
    void unusableBody_data();
    void unusableBody();
    void serverFailure_data();
    void serverFailure();
    void transferTimeout_data();
    void transferTimeout();

    void refusesPlainHttpToOtherHosts_data();
    void refusesPlainHttpToOtherHosts();
    void httpsIsSent();
    void repliesOfSeveralRequestsFromOneObject();

private:
    void addKindRows();
    // Creates the request of that kind, sends it and waits for its one result.
    bool run(const RequestKind &kind, int *rCode, QString *rMsg, int timeoutMs = -1);

    std::unique_ptr<AccountSandbox> m_sandbox;
    std::unique_ptr<ScriptedHttpServer> m_server;
};

void TestRequestFrame::initTestCase()
{
    // The tests talk to their own server on loopback only, whatever the environment says.
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    // Until start-up installs the Chinese translation, the language code is English.
    QCOMPARE(appenv::languageCode(), QStringLiteral("en"));
}

void TestRequestFrame::init()
{
    m_sandbox = std::make_unique<AccountSandbox>();
    m_server = std::make_unique<ScriptedHttpServer>();
    QVERIFY(m_sandbox->isValid());
    QVERIFY(m_server->isListening());
    m_sandbox->useServer(*m_server);
    m_sandbox->chooseModel(QStringLiteral("QX210"));
    appenv::setLanguageCode(QStringLiteral("en"));
}

void TestRequestFrame::cleanup()
{
    m_server.reset();
    m_sandbox.reset();
}

void TestRequestFrame::addKindRows()
{
    QTest::addColumn<QByteArray>("kind");
    for (const RequestKind &kind : requestKinds())
        QTest::newRow(kind.className) << QByteArray(kind.className);
}

bool TestRequestFrame::run(const RequestKind &kind, int *rCode, QString *rMsg, int timeoutMs)
{
    std::unique_ptr<VLAccountManage> request(kind.create());
    if (timeoutMs > 0)
        request->setTransferTimeout(timeoutMs);
    QSignalSpy spy(request.get(), kind.resultSignal);
    kind.send(request.get());
    if (!waitForOneResult(spy))
        return false;
    *rCode = spy.at(0).at(0).toInt();
    *rMsg = spy.at(0).at(1).toString();
    return true;
}

void TestRequestFrame::endpointUrl_data()
{
    QTest::addColumn<uint>("index");
    QTest::addColumn<QString>("path");
    QTest::newRow("0 login") << 0u << "/v1/user/login";
    QTest::newRow("1 register") << 1u << "/v1/user/register";
    QTest::newRow("2 update") << 2u << "/v1/user/updatePassword";
    QTest::newRow("3 find") << 3u << "/v1/user/findPassword";
    QTest::newRow("4 validate") << 4u << "/v1/user/validatePassword";
    QTest::newRow("5 new") << 5u << "/v1/user/newPassword";
    QTest::newRow("6 file upload") << 6u << "/v1/file/upload";
    QTest::newRow("7 save") << 7u << "/v1/driver/config2/save";
    QTest::newRow("8 get") << 8u << "/v1/driver/config2/get";
    QTest::newRow("9 version") << 9u << "/v1/driver/latest/version";
    QTest::newRow("10 none") << 10u << QString();
    QTest::newRow("max none") << 0xFFFFFFFFu << QString();
}

void TestRequestFrame::endpointUrl()
{
    QFETCH(uint, index);
    QFETCH(QString, path);
    VLAccountManage frame;
    QCOMPARE(frame.endpointUrl(index), path.isEmpty() ? QString() : m_server->baseUrl() + path);
}

void TestRequestFrame::baseUrl_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QString>("expected");
    QTest::newRow("absent") << false << QString() << "http://127.0.0.1:8790";
    QTest::newRow("empty") << true << ""
                           << "http://127.0.0.1:8790";
    QTest::newRow("blank") << true << "   "
                           << "http://127.0.0.1:8790";
    QTest::newRow("trailing slash") << true << "https://acc.example.com:8443/"
                                    << "https://acc.example.com:8443";
    QTest::newRow("blanks and slashes") << true << "  http://127.0.0.1:9000//  "
                                        << "http://127.0.0.1:9000";
    QTest::newRow("as given") << true << "https://10.1.2.3:443"
                              << "https://10.1.2.3:443";
}

void TestRequestFrame::baseUrl()
{
    QFETCH(bool, present);
    QFETCH(QString, configured);
    QFETCH(QString, expected);
    if (present)
        m_sandbox->setMainValue(QStringLiteral("/SET/server"), configured);
    else
        m_sandbox->removeMainValue(QStringLiteral("/SET/server"));
    VLAccountManage frame;
    QCOMPARE(frame.baseUrl(), expected);
    QCOMPARE(frame.endpointUrl(VLAccountManage::Login), expected + "/v1/user/login");
}

void TestRequestFrame::safeDestination_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("safe");
    QTest::newRow("http loopback v4") << "http://127.0.0.1:8790/v1/user/login" << true;
    QTest::newRow("http loopback v4 other") << "http://127.8.9.10/x" << true;
    QTest::newRow("http loopback v6") << "http://[::1]:8790/x" << true;
    QTest::newRow("http localhost") << "http://localhost:8790/x" << true;
    QTest::newRow("http localhost upper") << "http://LOCALHOST/x" << true;
    QTest::newRow("https remote name") << "https://acc.example.com/x" << true;
    QTest::newRow("https remote address") << "https://203.0.113.5:8443/x" << true;
    QTest::newRow("http remote name") << "http://acc.example.com/x" << false;
    QTest::newRow("http private address") << "http://10.0.0.1/x" << false;
    QTest::newRow("http unspecified address") << "http://0.0.0.0/x" << false;
    QTest::newRow("http name like loopback") << "http://127.0.0.1.example.com/x" << false;
    QTest::newRow("http localhost subdomain") << "http://localhost.example.com/x" << false;
    QTest::newRow("other scheme") << "ftp://127.0.0.1/x" << false;
    QTest::newRow("no host") << "/v1/user/login" << false;
    QTest::newRow("empty") << "" << false;
}

void TestRequestFrame::safeDestination()
{
    QFETCH(QString, url);
    QFETCH(bool, safe);
    QCOMPARE(VLAccountManage::isSafeDestination(QUrl(url, QUrl::TolerantMode)), safe);
}

void TestRequestFrame::requestOnTheWire_data()
{
    addKindRows();
}

void TestRequestFrame::requestOnTheWire()
{
    QFETCH(QByteArray, kind);
    const RequestKind &k = *requestKind(kind);
    m_server->enqueue(ScriptedReply::json(R"({"code":0})"));
    int rCode = 0;
    QString rMsg;
    QVERIFY(run(k, &rCode, &rMsg));

    QCOMPARE(m_server->received().size(), 1);
    const ReceivedRequest &request = m_server->received().at(0);
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, k.path);
    QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
    QCOMPARE(request.header("lang"), QByteArray("en"));
    QCOMPARE(request.header("Authorization"), QByteArray("token_fail"));
    QCOMPARE(request.body, k.body);
}

void TestRequestFrame::languageAndSessionHeaders_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("tokenStored");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QByteArray>("authorization");
    QTest::newRow("en, never signed in") << "en" << false << QString() << QByteArray("token_fail");
    QTest::newRow("zh, never signed in") << "zh" << false << QString() << QByteArray("token_fail");
    QTest::newRow("en, signed in")
        << "en" << true << "eyJhbGciOi.J9=" << QByteArray("eyJhbGciOi.J9=");
    QTest::newRow("zh, signed in") << "zh" << true << "Bearer abc" << QByteArray("Bearer abc");
    QTest::newRow("signed out") << "en" << true << "" << QByteArray("token_fail");
    QTest::newRow("token NULL") << "en" << true << "null" << QByteArray("token_fail");
}

void TestRequestFrame::languageAndSessionHeaders()
{
    QFETCH(QString, language);
    QFETCH(bool, tokenStored);
    QFETCH(QString, token);
    QFETCH(QByteArray, authorization);
    appenv::setLanguageCode(language);
    if (tokenStored)
        OperateToken().SetToken(token);

    // Every kind sends the same headers; two different ones are enough here.
    for (const char *kind : {"FindPasswd", "SaveConfigInfo"}) {
        m_server->enqueue(ScriptedReply::json(R"({"code":0})"));
        int rCode = 0;
        QString rMsg;
        QVERIFY(run(*requestKind(kind), &rCode, &rMsg));
    }
    QCOMPARE(m_server->received().size(), 2);
    for (const ReceivedRequest &request : m_server->received()) {
        QCOMPARE(request.header("lang"), language.toUtf8());
        QVERIFY(request.hasHeader("Authorization"));
        QCOMPARE(request.header("Authorization"), authorization);
    }
}

void TestRequestFrame::httpErrorStatus_data()
{
    addKindRows();
}

void TestRequestFrame::httpErrorStatus()
{
    QFETCH(QByteArray, kind);
    // A body that would otherwise be a success in every class.
    m_server->enqueue(ScriptedReply::json(
        R"({"code":0,"msg":"fine","data":{"nickname":"Ann","version":"0.9","configContent":"{}"}})",
        500, {{"Authorization", "tok"}}));
    const QByteArray modelBefore = AccountSandbox::bytesOf(m_sandbox->modelFile("QX210"));
    int rCode = 0;
    QString rMsg;
    QVERIFY(run(*requestKind(kind), &rCode, &rMsg));
    QCOMPARE(rCode, -1);
    QCOMPARE(rMsg, kNetworkError);
    QCOMPARE(m_sandbox->mainValue("/INFO/token"), kAbsent);
    QCOMPARE(AccountSandbox::bytesOf(m_sandbox->modelFile("QX210")), modelBefore);
}

void TestRequestFrame::emptyObject_data()
{
    addKindRows();
}

void TestRequestFrame::emptyObject()
{
    QFETCH(QByteArray, kind);
    const RequestKind &k = *requestKind(kind);
    m_server->enqueue(ScriptedReply::json("{}"));
    int rCode = 0;
    QString rMsg;
    QVERIFY(run(k, &rCode, &rMsg));
    QCOMPARE(rCode, k.emptyObjectCode);
    QCOMPARE(rMsg, k.emptyObjectIsServerError ? kServerError : QString());
}

void TestRequestFrame::unusableBody_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QByteArray>("body");
    for (const RequestKind &kind : requestKinds()) {
        const QByteArray name = kind.className;
        QTest::newRow(name + " html")
            << name << QByteArray("<html><body>Bad gateway</body></html>");
        QTest::newRow(name + " cut off") << name << QByteArray(R"({"code":0,"msg":"ok")");
        QTest::newRow(name + " array") << name << QByteArray("[0]");
        QTest::newRow(name + " empty") << name << QByteArray();
    }
}

void TestRequestFrame::unusableBody()
{
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, body);
    m_server->enqueue(ScriptedReply::json(body, 200, {{"Authorization", "tok"}}));
    int rCode = 0;
    QString rMsg;
    QVERIFY(run(*requestKind(kind), &rCode, &rMsg));
    QCOMPARE(rCode, -1);
    QCOMPARE(rMsg, kServerError);
    QCOMPARE(m_sandbox->mainValue("/INFO/token"), kAbsent);
}

void TestRequestFrame::serverFailure_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("msg");
    for (const RequestKind &kind : requestKinds()) {
        const QByteArray name = kind.className;
        QTest::newRow(name + " code and msg")
            << name << QByteArray(R"({"code":1003,"msg":"Account locked"})") << 1003
            << "Account locked";
        QTest::newRow(name + " negative code")
            << name << QByteArray(R"({"code":-7,"msg":"x"})") << -7 << "x";
        QTest::newRow(name + " msg not text")
            << name << QByteArray(R"({"code":4,"msg":{"text":"no"}})") << 4 << "";
        QTest::newRow(name + " msg missing") << name << QByteArray(R"({"code":4})") << 4 << "";
    }
}

void TestRequestFrame::serverFailure()
{
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(QString, msg);
    m_server->enqueue(ScriptedReply::json(body));
    int rCode = 0;
    QString rMsg;
    QVERIFY(run(*requestKind(kind), &rCode, &rMsg));
    QCOMPARE(rCode, code);
    QCOMPARE(rMsg, msg);
}

void TestRequestFrame::transferTimeout_data()
{
    addKindRows();
}

void TestRequestFrame::transferTimeout()
{
    QFETCH(QByteArray, kind);
    QCOMPARE(VLAccountManage().transferTimeout(), VLAccountManage::kDefaultTransferTimeoutMs);
    m_server->enqueue(ScriptedReply::silence());
    int rCode = 0;
    QString rMsg;
    QVERIFY(run(*requestKind(kind), &rCode, &rMsg, 150));
    QCOMPARE(m_server->received().size(), 1);
    QCOMPARE(rCode, -1);
    QCOMPARE(rMsg, kNetworkError);
}

void TestRequestFrame::refusesPlainHttpToOtherHosts_data()
{
    addKindRows();
}

void TestRequestFrame::refusesPlainHttpToOtherHosts()
{
    QFETCH(QByteArray, kind);
    // A name that can never resolve: if the request went out anyway, it would fail
    // without the refusal's log line, which the test requires.
    m_sandbox->useServer(QStringLiteral("http://account.velko.invalid:8790"));
    OperateToken().SetToken(QStringLiteral("secret-session"));
    QTest::ignoreMessage(
        QtWarningMsg,
        QRegularExpression(
            QStringLiteral(
                "^%1: refused to send /v1/\\S+ to \"http://account\\.velko\\.invalid:8790\"")
                .arg(QString::fromLatin1(kind))));
    int rCode = 0;
    QString rMsg;
    QVERIFY(run(*requestKind(kind), &rCode, &rMsg));
    QCOMPARE(rCode, -1);
    QCOMPARE(rMsg, kNetworkError);
    QVERIFY(m_server->received().isEmpty());
}

void TestRequestFrame::httpsIsSent()
{
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS support in this build of the toolkit");
    m_sandbox->useServer(m_server->baseUrl(QStringLiteral("https")));
    // The scripted server speaks no TLS: it sees the hand-shake and hangs up.
    QSignalSpy foreign(m_server.get(), &ScriptedHttpServer::foreignConnection);
    int rCode = 0;
    QString rMsg;
    QVERIFY(run(*requestKind("LoginAccount"), &rCode, &rMsg, 2000));
    QVERIFY(m_server->foreignConnections() >= 1);
    QCOMPARE(rCode, -1);
    QCOMPARE(rMsg, kNetworkError);
}

void TestRequestFrame::repliesOfSeveralRequestsFromOneObject()
{
    FindPasswd request;
    QSignalSpy spy(&request, SIGNAL(sigFindPwdRet(int, QString)));
    m_server->enqueue(ScriptedReply::json(R"({"code":0,"msg":"first"})"));
    m_server->enqueue(ScriptedReply::json(R"({"code":2,"msg":"second"})"));
    request.VlFindPasswdJson(QStringLiteral("a@example.com"));
    request.VlFindPasswdJson(QStringLiteral("b@example.com"));
    while (spy.size() < 2)
        QVERIFY(spy.wait(10000));
    QCOMPARE(m_server->received().size(), 2);
    QSet<QString> results;
    for (const QList<QVariant> &args : qAsConst(spy))
        results.insert(QStringLiteral("%1 %2").arg(args.at(0).toInt()).arg(args.at(1).toString()));
    QCOMPARE(results, (QSet<QString>{QStringLiteral("0 first"), QStringLiteral("2 second")}));
}

QTEST_GUILESS_MAIN(TestRequestFrame)
#include "tst_requestframe.moc"
