// The signed-in account kept in group INFO of the main settings file.
#include "accountsandbox.h"
#include "operatetoken.h"

#include <QtTest>

class TestOperateToken : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietAccountTests(); }
    void getToken_data();
    void getToken();
    void valuesSurviveTheFile_data();
    void valuesSurviveTheFile();
    void signOutKeepsEmailAndNickname();
};

void TestOperateToken::getToken_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("token");
    for (const QString &stored : {kAbsent, QString(), QString("NULL"), QString("null")})
        QTest::newRow(qPrintable("stored " + stored)) << stored << "token_fail";
    for (const char *token : {"eyJ0eXAi.x.y", "nullable", " "})
        QTest::newRow(token) << QString(token) << QString(token);
}

void TestOperateToken::getToken()
{
    QFETCH(QString, stored);
    QFETCH(QString, token);
    AccountSandbox box;
    writeIni(box.mainFile(), "/INFO/token", stored);
    QCOMPARE(OperateToken().GetToken(), token);
}

void TestOperateToken::valuesSurviveTheFile_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("= ; and quotes") << R"(YWJj==.k="v"; x=y;'z')";
    QTest::newRow("comma") << "a,b";
    QTest::newRow("hash") << "#not a comment";
    QTest::newRow("backslash") << R"(C:\path\x)";
    QTest::newRow("surrounding blanks") << "  padded  ";
    QTest::newRow("non-ASCII") << "安娜 Ünïcode";
}

void TestOperateToken::valuesSurviveTheFile()
{
    QFETCH(QString, value);
    AccountSandbox box;
    OperateToken session;
    session.SetToken(value);
    session.SetEmail(value);
    session.SetNickName(value);
    // As a fresh reader of the bytes sees them, and as the class reads a copy of
    // the file in another application folder.
    const QMap<QString, QString> onDisk = iniOnDisk(box.mainFile());
    for (const QString key : {"token", "email", "nickName"})
        QCOMPARE(onDisk["/INFO/" + key], value);
    AccountSandbox other;
    QVERIFY(QFile::remove(other.mainFile()) && QFile::copy(box.mainFile(), other.mainFile()));
    OperateToken copy;
    QCOMPARE(copy.GetToken(), value);
    QCOMPARE(copy.GetEmail(), value);
    QCOMPARE(copy.GetNickName(), value);
}

void TestOperateToken::signOutKeepsEmailAndNickname()
{
    AccountSandbox box;
    writeIni(box.mainFile(), "/SET/mouse", "PL40");
    OperateToken session, other;
    QCOMPARE(session.GetEmail(), QStringLiteral("NULL")); // never signed in
    QCOMPARE(session.GetNickName(), QStringLiteral("NULL"));
    session.SetToken(QStringLiteral("tok"));
    session.SetEmail(QStringLiteral("ann@example.com"));
    session.SetNickName(QStringLiteral("Ann"));
    QCOMPARE(other.GetToken(), QStringLiteral("tok")); // instances share the file
    session.SetToken(QString());
    QCOMPARE(other.GetToken(), QStringLiteral("token_fail"));
    QCOMPARE(other.GetEmail(), QStringLiteral("ann@example.com"));
    QCOMPARE(other.GetNickName(), QStringLiteral("Ann"));
    QCOMPARE(readIni(box.mainFile(), "/SET/mouse"), QStringLiteral("PL40")); // other keys kept
}

QTEST_GUILESS_MAIN(TestOperateToken)
#include "tst_operatetoken.moc"
