// The account pages driven offscreen against the real account server, started as a
// process on a free loopback port with its own data folder and mail outbox, naming
// a newer version than the running one; and the main page's update box against it.
#include "accountdocuments.h"
#include "accountforms.h"
#include "accountsandbox.h"
#include "configuratorapp.h"
#include "mainpagehost.h"
#include "operatetoken.h"
#include "pagedriver.h"
#include "requestkinds.h"
#include "typeregistry.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSGRendererInterface>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kMailbox = QStringLiteral("ann@example.com");
const QString kFirst = QStringLiteral("Velko-first-pw1");
const QString kRecovered = QStringLiteral("Velko-second-pw2");
const QString kChanged = QStringLiteral("Velko-third-pw3");
const QString kDownloadUrl = QStringLiteral("https://example.com/velko-options-1.0.exe");

// The server binary with the cheapest hashing it accepts; stopped when destroyed.
class AccountServer
{
public:
    bool start()
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(qEnvironmentVariable("VELKO_BIN_DIR") + "/velko-account-server",
                        {"--listen", "127.0.0.1", "--port", "0", "--data", m_data.path(),
                         "--argon2-memory-kib", "8", "--argon2-passes", "1",
                         "--latest-version", "1.0", "--download-url", kDownloadUrl});
        const QRegularExpression listening(QStringLiteral("listening on http://127.0.0.1:(\\d+)"));
        QByteArray output;
        while (m_process.waitForReadyRead(5000)) {
            output += m_process.readAll();
            const QRegularExpressionMatch match = listening.match(QString::fromUtf8(output));
            if (match.hasMatch()) {
                m_baseUrl = "http://127.0.0.1:" + match.captured(1);
                return true;
            }
        }
        qWarning("the account server did not start: %s", output.constData());
        return false;
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }
    ~AccountServer() { stop(); }
    QString baseUrl() const { return m_baseUrl; }

    // The code of the newest recovery message in the outbox.
    QString latestCode() const
    {
        QDirIterator it(m_data.filePath("outbox"), QDir::Files);
        QString newest;
        QDateTime newestTime;
        while (it.hasNext()) {
            it.next();
            if (newest.isEmpty() || it.fileInfo().lastModified() >= newestTime) {
                newest = it.filePath();
                newestTime = it.fileInfo().lastModified();
            }
        }
        const QRegularExpressionMatch code = QRegularExpression(QStringLiteral("\\b(\\d{6})\\b"))
                                                 .match(QString::fromUtf8(bytesOf(newest)));
        return code.hasMatch() ? code.captured(1) : QString();
    }

private:
    QTemporaryDir m_data;
    QProcess m_process;
    QString m_baseUrl;
};

// Types the password into the log-in form, which holds the address used last, and
// presses "Login".
void logIn(Pages &pages, const QString &password)
{
    QCOMPARE(pages.text("login/mailbox"), kMailbox);
    pages.type("login/password", password);
    pages.click("login/loginButton");
}

} // namespace

class TestAccountServerPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        quietAccountTests();
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        initConfiguratorResources();
        registerConfiguratorTypes();
        TimedMessage::setDefaultHoldMs(kHoldMs);
        VerificationCountdown::setDefaultTickMs(5);
        QVERIFY(m_server.start());
        m_box = std::make_unique<AccountSandbox>(m_server.baseUrl());
    }
    void cleanupTestCase()
    {
        m_box.reset();
        m_server.stop();
    }

    void accountLifetime()
    {
        {
            Pages pages(kCover);
            pages.click("registerTab");
            pages.type("register/username", "Ann");
            pages.type("register/mailbox", kMailbox);
            pages.type("register/password", kFirst);
            pages.type("register/rePassword", kFirst);
            pages.click("register/registerButton");
            QTRY_COMPARE(pages.text("register/error"), QStringLiteral("Registration successful"));
            QTRY_COMPARE(pages.item("popup")->property("page").toString(), QStringLiteral("login"));

            QSignalSpy signState(pages.item("popup"), SIGNAL(sigSignState(QString, QString)));
            QCOMPARE(pages.text("login/mailbox"), QString(kMailbox)); // the address registered
            pages.type("login/password", kFirst);
            pages.click("login/loginButton");
            QTRY_COMPARE(signState.size(), 1);
            QCOMPARE(pages.item("titleBar")->property("nickName").toString(),
                     QStringLiteral("Ann"));
        }
        const QString midKey = readIni(m_box->modelFile(), "/SET/Mid_key");
        QCOMPARE(sync("uploadButton"), QStringLiteral("Upload success|true|false"));
        writeIni(m_box->modelFile(), "/SET/Mid_key", "copy-3-midKey");
        QCOMPARE(sync("downloadButton"), QStringLiteral("Download success|true|true"));
        QCOMPARE(readIni(m_box->modelFile(), "/SET/Mid_key"), midKey);

        {
            Pages pages(kCover);
            QSignalSpy reset(pages.item("popup"), SIGNAL(sigResetPwdSuccess(QString)));
            pages.click("login/forgetLink");
            QCOMPARE(pages.text("forget/mailbox"), kMailbox); // the log-in form's address
            pages.click("forget/sendButton");
            QTRY_VERIFY(pages.shown("verify"));
            QTRY_VERIFY(!m_server.latestCode().isEmpty());
            pages.type("verify/code", m_server.latestCode());
            pages.click("verify/nextButton");
            QTRY_VERIFY(pages.shown("reset"));
            pages.type("reset/password", kRecovered);
            pages.type("reset/rePassword", kRecovered);
            pages.click("reset/completeButton");
            QTRY_COMPARE(reset.size(), 1);
            QCOMPARE(reset.at(0).at(0).toString(), QStringLiteral("Password reset, please log in"));

            // closed on success: opened again as the title bar does
            QVERIFY(QMetaObject::invokeMethod(pages.root(), "f_showLogin"));
            QSignalSpy signState(pages.item("popup"), SIGNAL(sigSignState(QString, QString)));
            logIn(pages, kRecovered);
            QTRY_COMPARE(signState.size(), 1);
        }

        const QString oldSession = OperateToken().GetToken();
        QVERIFY(!oldSession.isEmpty());
        const auto signedOutAndAsked = [](MainPageHost &host) {
            QObject *title = host.find("connectDevice")->property("titleBar").value<QObject *>();
            QTRY_VERIFY(!title->property("signedIn").toBool());
            QCOMPARE(OperateToken().GetToken(), QString(OperateToken::kNoSession));
            QTRY_VERIFY(host.find("login")); // the log-in pop-up, the address filled in
            QCOMPARE(host.find("login")->findChild<QObject *>("mailbox")->property("text").toString(),
                     kMailbox);
        };
        // The password changed on the account page: signed out, and asked to sign
        // in with the new one.
        {
            MainPageHost host;
            host.fakes.install();
            QVERIFY(host.start(true, "QX210"));
            host.logic("sign_in_clicked");
            QTRY_VERIFY(host.find("signOutPage"));
            QMetaObject::invokeMethod(host.find("signOutPage"), "sigUpdatePwd",
                                      Q_ARG(QString, kRecovered), Q_ARG(QString, kChanged));
            QTRY_COMPARE(host.find("navigator")->property("infoText").toString(),
                         QStringLiteral("Password changed, please log in again"));
            signedOutAndAsked(host);
        }
        // Where the old session is still held (another machine, say), the server
        // refuses it, and that ends it there too.
        OperateToken().SetToken(oldSession);
        QCOMPARE(sync("uploadButton"), QStringLiteral("Please log in again|false|false"));
        {
            MainPageHost host;
            host.fakes.install();
            QVERIFY(host.start(true, "QX210"));
            QVERIFY(host.find("connectDevice")->property("titleBar").value<QObject *>()
                        ->property("signedIn").toBool());
            QMetaObject::invokeMethod(host.find("syncCover"), "open");
            QMetaObject::invokeMethod(host.find("syncPanel"), "sigUpload");
            QTRY_COMPARE(host.find("navigator")->property("infoText").toString(),
                         QStringLiteral("Please log in again"));
            signedOutAndAsked(host);
        }
        ConfiguratorPlatform::installNative();

        // The server's refusal reaches the log-in form: the password before the change.
        Pages pages(kCover);
        QSignalSpy signState(pages.item("popup"), SIGNAL(sigSignState(QString, QString)));
        logIn(pages, kRecovered);
        QTRY_COMPARE(pages.text("login/error"), QStringLiteral("Incorrect email or password"));
        QCOMPARE(signState.size(), 0);
    }

private:
    // One sync panel button; the panel's result as "text|success|downloaded" (empty
    // when none came).
    QString sync(const QString &button)
    {
        Pages pages(kSync);
        pages.click("syncPanel/" + button);
        const auto result = [&] { return pages.root()->property("result").toString(); };
        return QTest::qWaitFor([&] { return !result().isEmpty(); }) ? result() : QString();
    }

    AccountServer m_server;
    std::unique_ptr<AccountSandbox> m_box;
};

QTEST_MAIN(TestAccountServerPages)
#include "tst_accountserverpages.moc"
