// The signed-in account kept in group INFO of the main settings file.
#include "accountsandbox.h"
#include "operatetoken.h"

#include <QLoggingCategory>
#include <QtTest>

#include <memory>

class TestOperateToken : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void getToken_data();
    void getToken();
    void neverSignedIn();
    void valuesSurviveTheFile_data();
    void valuesSurviveTheFile();
    void signOutKeepsEmailAndNickname();
    void instancesShareTheFile();
    void keepsOtherKeysOfTheMainFile();

private:
    std::unique_ptr<AccountSandbox> m_sandbox;
};

void TestOperateToken::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

void TestOperateToken::init()
{
    m_sandbox = std::make_unique<AccountSandbox>();
    QVERIFY(m_sandbox->isValid());
}

void TestOperateToken::cleanup()
{
    m_sandbox.reset();
}

void TestOperateToken::getToken_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("token");
    QTest::newRow("absent") << false << QString() << "token_fail";
    QTest::newRow("empty") << true << ""
                           << "token_fail";
    QTest::newRow("NULL") << true << "NULL"
                          << "token_fail";
    QTest::newRow("null lower case") << true << "null"
                                     << "token_fail";
    QTest::newRow("Null mixed case") << true << "Null"
                                     << "token_fail";
    QTest::newRow("a token") << true << "eyJ0eXAi.x.y"
                             << "eyJ0eXAi.x.y";
    QTest::newRow("containing null") << true << "nullable"
                                     << "nullable";
    QTest::newRow("blank is a value") << true << " "
                                      << " ";
}

void TestOperateToken::getToken()
{
    QFETCH(bool, present);
    QFETCH(QString, stored);
    QFETCH(QString, token);
    if (present)
        m_sandbox->setMainValue(QStringLiteral("/INFO/token"), stored);
    QCOMPARE(OperateToken().GetToken(), token);
}

void TestOperateToken::neverSignedIn()
{
    OperateToken session;
    QCOMPARE(session.GetToken(), QStringLiteral("token_fail"));
    QCOMPARE(session.GetEmail(), QStringLiteral("NULL"));
    QCOMPARE(session.GetNickName(), QStringLiteral("NULL"));
}

void TestOperateToken::valuesSurviveTheFile_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("equals signs") << "YWJj==.ZGVm=";
    QTest::newRow("semicolon") << "a;b";
    QTest::newRow("double quotes") << "say \"hi\"";
    QTest::newRow("single quote") << "it's";
    QTest::newRow("all at once") << R"(k="v"; x=y;"z")";
    QTest::newRow("comma") << "a,b";
    QTest::newRow("hash") << "#not a comment";
    QTest::newRow("backslash") << R"(C:\path\x)";
    QTest::newRow("surrounding blanks") << "  padded  ";
    QTest::newRow("non-ASCII") << QString::fromUtf8("安娜 Ünïcode");
    QTest::newRow("brackets") << "[INFO]";
}

void TestOperateToken::valuesSurviveTheFile()
{
    QFETCH(QString, value);
    {
        OperateToken session;
        session.SetToken(value);
        session.SetEmail(value);
        session.SetNickName(value);
    }
    // Read from the bytes on disk, not from any cache of this process.
    const QString file = m_sandbox->mainFile();
    QCOMPARE(AccountSandbox::valueOnDisk(file, "/INFO/token"), value);
    QCOMPARE(AccountSandbox::valueOnDisk(file, "/INFO/email"), value);
    QCOMPARE(AccountSandbox::valueOnDisk(file, "/INFO/nickName"), value);

    // And through the class itself, from a second application folder holding a copy.
    AccountSandbox other;
    QVERIFY(QFile::copy(file, other.mainFile()));
    OperateToken copy;
    QCOMPARE(copy.GetToken(), value);
    QCOMPARE(copy.GetEmail(), value);
    QCOMPARE(copy.GetNickName(), value);
}

void TestOperateToken::signOutKeepsEmailAndNickname()
{
    OperateToken session;
    session.SetToken(QStringLiteral("tok"));
    session.SetEmail(QStringLiteral("ann@example.com"));
    session.SetNickName(QStringLiteral("Ann"));
    session.SetToken(QString());

    QCOMPARE(session.GetToken(), QStringLiteral("token_fail"));
    QCOMPARE(session.GetEmail(), QStringLiteral("ann@example.com"));
    QCOMPARE(session.GetNickName(), QStringLiteral("Ann"));
    const QString file = m_sandbox->mainFile();
    QCOMPARE(AccountSandbox::valueOnDisk(file, "/INFO/token"), QString());
    QCOMPARE(AccountSandbox::valueOnDisk(file, "/INFO/nickName"), QStringLiteral("Ann"));
}

void TestOperateToken::instancesShareTheFile()
{
    OperateToken writer;
    OperateToken reader;
    QCOMPARE(reader.GetToken(), QStringLiteral("token_fail"));
    writer.SetToken(QStringLiteral("shared"));
    writer.SetEmail(QStringLiteral("recover@example.com"));
    QCOMPARE(reader.GetToken(), QStringLiteral("shared"));
    QCOMPARE(reader.GetEmail(), QStringLiteral("recover@example.com"));
}

void TestOperateToken::keepsOtherKeysOfTheMainFile()
{
    m_sandbox->setMainValue(QStringLiteral("/SET/mouse"), QStringLiteral("PL40"));
    OperateToken().SetToken(QStringLiteral("tok"));
    QCOMPARE(AccountSandbox::valueOnDisk(m_sandbox->mainFile(), "/SET/mouse"),
             QStringLiteral("PL40"));
}

QTEST_GUILESS_MAIN(TestOperateToken)
#include "tst_operatetoken.moc"
