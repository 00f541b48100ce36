// The account requests over https against the real account server, which the
// test fixture (tools/https-test-server) starts with a certificate authority it
// makes; the authority is named through the main settings file:
// sign-in, upload and download succeed; a certificate for another host name and
// one from an authority nobody named are refused with the network message and a
// log line saying why.
#include "accountsandbox.h"
#include "logcapture.h"
#include "requestkinds.h"

#include <QFile>
#include <QtTest>

#include <algorithm>

namespace {

// A request of that kind with other arguments.
QString send(const char *className, const QStringList &arguments = {})
{
    RequestKind kind = requestKind(className);
    if (!arguments.isEmpty())
        kind.arguments = arguments;
    return sendAndWait(kind);
}

} // namespace

class TestAccountHttps : public QObject
{
    Q_OBJECT

    // The fixture's folder: "port" and the authority "ca.pem".
    const QString m_fixture = qEnvironmentVariable("VELKO_HTTPS_FIXTURE");
    QString m_port;
    QString authority() const { return m_fixture + "/ca.pem"; }

private slots:
    void initTestCase()
    {
        quietAccountTests();
        QFile port(m_fixture + "/port");
        QVERIFY2(port.open(QIODevice::ReadOnly), "no https server (VELKO_HTTPS_FIXTURE)");
        m_port = QString::fromLatin1(port.readAll().trimmed());
        QVERIFY(!m_port.isEmpty());
    }

    void trustedServerSignsInAndSyncs()
    {
        AccountSandbox box("https://localhost:" + m_port);
        writeIni(box.mainFile(), VLAccountManage::kAuthoritiesKey, authority());
        const QStringList account{"ann@example.com", "Velko-first-pw1"};
        QCOMPARE(send("RegisterAccount", {"Ann", account[0], account[1], account[1]}).left(2),
                 QStringLiteral("0 "));
        QCOMPARE(send("LoginAccount", account).left(2), QStringLiteral("0 "));
        QCOMPARE(send("SaveConfigInfo").left(2), QStringLiteral("0 "));
        QCOMPARE(send("GetDriverConf").left(2), QStringLiteral("0 "));
    }

    void unverifiedServerIsRefused_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("authorityNamed");
        QTest::newRow("another host name") << "127.0.0.1" << true;
        QTest::newRow("unknown authority") << "localhost" << false;
    }
    void unverifiedServerIsRefused()
    {
        QFETCH(QString, host);
        QFETCH(bool, authorityNamed);
        AccountSandbox box(QStringLiteral("https://%1:%2").arg(host, m_port));
        if (authorityNamed)
            writeIni(box.mainFile(), VLAccountManage::kAuthoritiesKey, authority());
        LogCapture log;
        QCOMPARE(send("LoginAccount", {"ann@example.com", "Velko-first-pw1"}), "-1 " + kNetworkError);
        const QStringList lines = log.lines();
        QCOMPARE(std::count_if(lines.begin(), lines.end(),
                               [](const QString &l) { return l.contains("was refused"); }),
                 1);
    }
};

QTEST_MAIN(TestAccountHttps)
#include "tst_accounthttps.moc"
