// The account pages driven as a user would (clicks and typing, offscreen) against
// the scripted server: log-in, registration, recovery, password change, sign-out.
#include "accountdocuments.h"
#include "accountforms.h"
#include "accountsandbox.h"
#include "configuratorapp.h"
#include "operatetoken.h"
#include "pagedriver.h"
#include "requestkinds.h"
#include "scriptedhttpserver.h"
#include "typeregistry.h"

#include <QQmlComponent>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSGRendererInterface>
#include <QTranslator>
#include <QtTest>

#include <memory>

class TestAccountPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        quietAccountTests();
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software); // no GPU needed
        initConfiguratorResources();
        registerConfiguratorTypes();
        TimedMessage::setDefaultHoldMs(kHoldMs);
        VerificationCountdown::setDefaultTickMs(5);
    }

    void logIn_data()
    {
        QTest::addColumn<QString>("mailbox");
        QTest::addColumn<QString>("password"); // as typed
        QTest::addColumn<QByteArray>("reply"); // empty: none sent; "down": no server
        QTest::addColumn<QString>("line");     // the error line afterwards
        QTest::addColumn<bool>("signedIn");
        const auto row = [](const char *tag, const char *mailbox, const char *password,
                            const char *reply, const QString &line, bool signedIn) {
            QTest::newRow(tag) << mailbox << password << QByteArray(reply) << line << signedIn;
        };
        row("empty mailbox", "", "p1!a", "", "Username can not be empty", false);
        row("accepted", "ann@example.com", "p1 !a", R"({"code":0,"data":{"nickname":"Ann"}})",
            "Ann", true);
        row("wrong password", "ann@example.com", "p1!a", R"({"code":1001,"msg":"Wrong password"})",
            "Wrong password", false);
    }

    void logIn()
    {
        QFETCH(QString, mailbox);
        QFETCH(QString, password);
        QFETCH(QByteArray, reply);
        QFETCH(QString, line);
        QFETCH(bool, signedIn);
        ScriptedHttpServer server;
        AccountSandbox box(reply == "down" ? "http://127.0.0.1:1" : server.baseUrl());
        server.enqueue(reply, 200, "Authorization: tok-1\r\n");
        Pages pages(kCover);
        QSignalSpy signState(pages.item("popup"), SIGNAL(sigSignState(QString, QString)));
        pages.type("login/mailbox", mailbox);
        pages.type("login/password", password);
        pages.click("login/loginButton");
        if (reply.isEmpty()) {
            QCOMPARE(pages.text("login/error"), line);
            QTRY_COMPARE(pages.text("login/error"), QString()); // cleared after the hold
        } else if (signedIn) {
            QTRY_COMPARE(signState.size(), 1);
            QCOMPARE(signState[0], (QVariantList{"sign_in", "Ann"}));
            QVERIFY(!pages.shown("loginCover")); // closed on sign-in
            QCOMPARE(pages.item("titleBar")->property("nickName").toString(), "Ann");
            QCOMPARE(OperateToken().GetToken(), QStringLiteral("tok-1"));
        } else {
            QTRY_COMPARE(pages.text("login/error"), line);
        }
        QCOMPARE(signState.size(), signedIn ? 1 : 0);
        QCOMPARE(server.received.size(), reply.isEmpty() || reply == "down" ? 0 : 1);
        if (signedIn) { // the blank typed into the password was refused
            QCOMPARE(server.received[0].body,
                     QByteArray(R"({"email":"ann@example.com","password":"p1!a"})"));
            Pages again(kCover); // opened again, after a sign-out say
            QCOMPARE(again.text("login/mailbox"), mailbox);
        }
    }

    void registration_data()
    {
        QTest::addColumn<QString>("again"); // the repeated password
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("tabAfterHold");
        const auto row = [](const char *tag, const char *again, const char *reply, const char *line,
                            const char *tabAfterHold) {
            QTest::newRow(tag) << again << QByteArray(reply) << line << tabAfterHold;
        };
        row("one character off", "p1!b", "", "Inconsistent password before and after", "register");
        row("accepted", "p1!a", R"({"code":0,"msg":"Registered"})", "Registered", "login");
    }

    void registration()
    {
        QFETCH(QString, again);
        QFETCH(QByteArray, reply);
        QFETCH(QString, line);
        QFETCH(QString, tabAfterHold);
        ScriptedHttpServer server;
        AccountSandbox box(server.baseUrl());
        server.enqueue(reply);
        Pages pages(kCover);
        pages.click("registerTab");
        pages.type("register/username", "Ann");
        pages.type("register/mailbox", "ann@example.com");
        pages.type("register/password", "p1!a");
        pages.type("register/rePassword", again);
        pages.click("register/registerButton");
        const bool accepted = reply.contains(R"("code":0)");
        if (accepted) // the fields are cleared
            QTRY_VERIFY(pages.text("register/mailbox").isEmpty());
        QTRY_COMPARE(pages.text("register/error"), line);
        QCOMPARE(pages.text("register/mailbox").isEmpty(), accepted);
        QCOMPARE(pages.item("register/error")->property("success").toBool(), accepted);
        QTest::qWait(kHoldMs + 100);
        QCOMPARE(pages.item("popup")->property("page").toString(), tabAfterHold);
        if (accepted) // ready to log in with the address just registered
            QCOMPARE(pages.text("login/mailbox"), QStringLiteral("ann@example.com"));
        QCOMPARE(server.received.size(), reply.isEmpty() ? 0 : 1);
        if (accepted)
            QCOMPARE(server.received[0].body,
                     QByteArray(R"({"email":"ann@example.com","nickname":"Ann",)"
                                R"("password":"p1!a","rePassword":"p1!a"})"));
    }

    void recovery()
    {
        ScriptedHttpServer server;
        AccountSandbox box(server.baseUrl());
        Pages pages(kCover);
        QSignalSpy reset(pages.root(), SIGNAL(sigPasswordReset(QString)));
        pages.click("login/forgetLink");
        QVERIFY(!pages.shown("loginTab"));
        pages.click("forget/sendButton");
        QCOMPARE(pages.text("forget/error"), QStringLiteral("Mailbox address cannot be empty"));
        pages.type("forget/mailbox", "ann@example.com");
        server.enqueue(R"({"code":0,"msg":"Sent"})");
        pages.click("forget/sendButton");
        QTRY_VERIFY(pages.shown("verify"));
        QCOMPARE(OperateToken().GetEmail(), QStringLiteral("ann@example.com"));
        QTRY_COMPARE(pages.text("verify/counter"), QStringLiteral("0 s")); // and stays
        pages.type("verify/code", "123456");
        server.enqueue(R"({"code":5,"msg":"Wrong code"})");
        pages.click("verify/nextButton");
        QTRY_COMPARE(pages.text("verify/error"), QStringLiteral("Wrong code"));
        server.enqueue(R"({"code":0})");
        pages.click("verify/nextButton");
        QTRY_VERIFY(pages.shown("reset"));
        pages.type("reset/password", "n3w!pw");
        pages.type("reset/rePassword", "n3w!pW");
        pages.click("reset/completeButton");
        QCOMPARE(pages.text("reset/error"), QStringLiteral("Password inconsistency"));
        pages.click("reset/rePassword"); // kept while the pop-up is open
        pages.key(Qt::Key_Backspace);
        pages.typeHere("w");
        server.enqueue(R"({"code":0,"msg":"Changed"})");
        pages.click("reset/completeButton");
        QTRY_COMPARE(reset.size(), 1);
        QCOMPARE(reset.at(0).at(0).toString(), QStringLiteral("Changed")); // told, as it closes
        QVERIFY(!pages.shown("loginCover"));
        QCOMPARE(server.received.size(), 4);
        QCOMPARE(server.received[3].body, QByteArray(R"({"captcha":"123456",)"
                                                     R"("email":"ann@example.com",)"
                                                     R"("password":"n3w!pw"})"));
    }

    void sync_data(); // out of the class body: moc misreads its raw strings

    void sync()
    {
        QFETCH(QString, button);
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(QString, result);
        QFETCH(QString, midKey);
        ScriptedHttpServer server;
        AccountSandbox box(server.baseUrl());
        if (midKey == kAbsent) // the model's file cannot be written: a folder takes its name
            QVERIFY(QFile::remove(box.modelFile()) && QDir().mkdir(box.modelFile()));
        server.enqueue(reply, status);
        Pages pages(kSync);
        pages.click("syncPanel/" + button);
        QVERIFY(!pages.shown("sync")); // closed at once
        QTRY_COMPARE(pages.root()->property("result").toString(), result);
        QCOMPARE(readIni(box.modelFile(), "/SET/Mid_key"), midKey);
    }

    void accountPage()
    {
        ScriptedHttpServer server;
        AccountSandbox box(server.baseUrl());
        OperateToken().SetEmail(QStringLiteral("ann@example.com"));
        Pages pages(kAccountPage);
        QQuickItem *save = pages.item("saveButton");
        pages.type("field0", "o1!d");
        pages.type("field1", "n3w!");
        QVERIFY(!save->isEnabled());
        pages.type("field2", "n3w!");
        QVERIFY(save->isEnabled());
        pages.type("field2", QString(QChar('x')));
        pages.click("saveButton");
        QCOMPARE(pages.root()->property("result").toString(),
                 QStringLiteral("Inconsistent password before and after"));
        QCOMPARE(pages.text("field2"), QStringLiteral("n3w!x")); // nothing cleared
        pages.click("field2");
        pages.key(Qt::Key_Backspace);
        server.enqueue(R"({"code":0,"msg":"Password changed"})");
        pages.click("saveButton");
        QTRY_COMPARE(pages.root()->property("result").toString(),
                     QStringLiteral("0 Password changed"));
        QCOMPARE(server.received.size(), 1);
        QCOMPARE(
            server.received[0].body,
            QByteArray(R"({"email":"ann@example.com","password":"o1!d","rePassword":"n3w!"})"));
        for (const char *field : {"field0", "field1", "field2"})
            QCOMPARE(pages.text(field), QString());
        QVERIFY(!save->isEnabled());
        pages.click("signOutButton");
        QCOMPARE(pages.root()->property("result").toString(), QStringLiteral("sign_out"));
        pages.click("backButton");
        QCOMPARE(pages.root()->property("result").toString(), QStringLiteral("hide_signOut_page"));
    }

    void leavingTheAccountPageForgetsTheTyping()
    {
        AccountSandbox box;
        Pages pages(kAccountPage);
        for (const char *field : {"field0", "field1", "field2"})
            pages.type(field, "p1!a");
        QVERIFY(pages.item("saveButton")->isEnabled());
        pages.root()->setProperty("visible", false); // back, sign-out, password changed
        pages.root()->setProperty("visible", true);
        for (const char *field : {"field0", "field1", "field2"})
            QCOMPARE(pages.text(field), QString());
        QVERIFY(!pages.item("saveButton")->isEnabled());
    }
};

void TestAccountPages::sync_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("midKey"); // in the settings file afterwards (absent: no file)
    const QByteArray document =
        R"({"code":0,"data":{"configContent":"{\"Mid_key\":\"{\\\"index\\\":\\\"3\\\",)"
        R"(\\\"name\\\":\\\"copy\\\",\\\"tag\\\":\\\"midKey\\\"}\"}"}})";
    const QString unchanged = "none-48-midKey";
    QTest::newRow("upload") << "uploadButton" << 200 << QByteArray(R"({"code":0})")
                            << "Upload success|true|false" << unchanged;
    QTest::newRow("download") << "downloadButton" << 200 << document << "Download success|true|true"
                              << "copy-3-midKey";
    // Not written, it is in the pages all the same: they show the settings again.
    QTest::newRow("download not written")
        << "downloadButton" << 200 << document
        << "The downloaded settings could not be saved|false|true" << kAbsent;
}

QTEST_MAIN(TestAccountPages)
#include "tst_accountpages.moc"
