// The latest-version query: "pass" for the running version, otherwise the
// download address.
#include "accountsandbox.h"
#include "getsoftwareversion.h"
#include "scriptedhttpserver.h"

#include <QLoggingCategory>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

class TestSoftwareVersion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void reply_data();
    void reply();

private:
    std::unique_ptr<AccountSandbox> m_sandbox;
    std::unique_ptr<ScriptedHttpServer> m_server;
};

void TestSoftwareVersion::initTestCase()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

void TestSoftwareVersion::init()
{
    m_sandbox = std::make_unique<AccountSandbox>();
    m_server = std::make_unique<ScriptedHttpServer>();
    QVERIFY(m_sandbox->isValid());
    QVERIFY(m_server->isListening());
    m_sandbox->useServer(*m_server);
}

void TestSoftwareVersion::cleanup()
{
    m_server.reset();
    m_sandbox.reset();
}

void TestSoftwareVersion::reply_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("msg");
    QTest::newRow("running version")
        << QByteArray(R"({"code":0,"data":{"version":"0.9","downloadUrl":"u"}})") << 0 << "pass";
    QTest::newRow("running version, no address")
        << QByteArray(R"({"code":0,"data":{"version":"0.9"}})") << 0 << "pass";
    QTest::newRow("newer") << QByteArray(R"({"code":0,"data":{"version":"1.0","downloadUrl":"u"}})")
                           << 0 << "u";
    QTest::newRow("older")
        << QByteArray(
               R"({"code":0,"data":{"version":"0.8","downloadUrl":"https://example.com/get?v=0.8"}})")
        << 0 << "https://example.com/get?v=0.8";
    QTest::newRow("trailing blank")
        << QByteArray(R"({"code":0,"data":{"version":"0.9 ","downloadUrl":"u"}})") << 0 << "u";
    QTest::newRow("more digits") << QByteArray(
                                        R"({"code":0,"data":{"version":"0.90","downloadUrl":"u"}})")
                                 << 0 << "u";
    QTest::newRow("version as a number")
        << QByteArray(R"({"code":0,"data":{"version":0.9,"downloadUrl":"u"}})") << 0 << "u";
    QTest::newRow("data empty") << QByteArray(R"({"code":0,"data":{}})") << 0 << "";
    QTest::newRow("address not text")
        << QByteArray(R"({"code":0,"data":{"version":"2.0","downloadUrl":7}})") << 0 << "";
    QTest::newRow("no code counts as success")
        << QByteArray(R"({"data":{"version":"0.9"}})") << 0 << "pass";
    QTest::newRow("failure") << QByteArray(
                                    R"({"code":503,"msg":"Maintenance","data":{"version":"0.9"}})")
                             << 503 << "Maintenance";
}

void TestSoftwareVersion::reply()
{
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(QString, msg);
    m_server->enqueue(ScriptedReply::json(body));
    GetSoftwareVersion query;
    QSignalSpy spy(&query, SIGNAL(sigGetSoftwareVer(int, QString)));
    query.vlGetSoftwareVersion();
    QVERIFY(waitForOneResult(spy));
    QCOMPARE(spy.at(0).at(0).toInt(), code);
    QCOMPARE(spy.at(0).at(1).toString(), msg);
    QCOMPARE(m_server->received().size(), 1);
}

QTEST_GUILESS_MAIN(TestSoftwareVersion)
#include "tst_softwareversion.moc"
