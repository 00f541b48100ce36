// "pass" for the running version 0.9, otherwise the download address.
#include "accountsandbox.h"
#include "requestkinds.h"
#include "scriptedhttpserver.h"

#include <QtTest>

class TestSoftwareVersion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietAccountTests(); }

    void reply_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("result");
        const QString url = "0 https://example.com/get?v=1";
        const auto row = [](const char *version, const QString &result) {
            QTest::newRow(version) << R"({"code":0,"data":{"version":)" + QByteArray(version) +
                                          R"(,"downloadUrl":"https://example.com/get?v=1"}})"
                                   << result;
        };
        row(R"("0.9")", "0 pass");
        for (const char *other : {R"("0.8")", R"("0.90")"})
            row(other, url);
        QTest::newRow("version missing") << QByteArray(R"({"code":0,"data":{}})") << "0 ";
        QTest::newRow("failure wins")
            << QByteArray(R"({"code":503,"msg":"Maintenance","data":{"version":"0.9"}})")
            << "503 Maintenance";
    }

    void reply()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, result);
        ScriptedHttpServer server;
        AccountSandbox box(server.baseUrl());
        server.enqueue(body);
        QCOMPARE(sendAndWait("GetSoftwareVersion"), result);
    }
};

QTEST_GUILESS_MAIN(TestSoftwareVersion)
#include "tst_softwareversion.moc"
