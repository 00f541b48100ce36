// The latest-version query: "pass" for the running version 0.9, otherwise the
// download address.
#include "accountsandbox.h"
#include "requestkinds.h"
#include "scriptedhttpserver.h"

#include <QtTest>

class TestSoftwareVersion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietAccountTests(); }
    void reply_data();
    void reply();
};

void TestSoftwareVersion::reply_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("result");
    const QByteArray url = R"(,"downloadUrl":"https://example.com/get?v=1"}})";
    QTest::newRow("running version") << R"({"code":0,"data":{"version":"0.9")" + url << "0 pass";
    QTest::newRow("other version")
        << R"({"code":0,"data":{"version":"0.8")" + url << "0 https://example.com/get?v=1";
    QTest::newRow("trailing blank")
        << R"({"code":0,"data":{"version":"0.9 ")" + url << "0 https://example.com/get?v=1";
    QTest::newRow("more digits") << R"({"code":0,"data":{"version":"0.90")" + url
                                 << "0 https://example.com/get?v=1";
    QTest::newRow("version a number")
        << R"({"code":0,"data":{"version":0.9)" + url << "0 https://example.com/get?v=1";
    QTest::newRow("version missing") << QByteArray(R"({"code":0,"data":{}})") << "0 ";
    QTest::newRow("failure wins")
        << QByteArray(R"({"code":503,"msg":"Maintenance","data":{"version":"0.9"}})")
        << "503 Maintenance";
}

void TestSoftwareVersion::reply()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, result);
    ScriptedHttpServer server;
    AccountSandbox box(server.baseUrl());
    server.enqueue(body);
    QCOMPARE(sendAndWait("GetSoftwareVersion"), result);
}

QTEST_GUILESS_MAIN(TestSoftwareVersion)
#include "tst_softwareversion.moc"
