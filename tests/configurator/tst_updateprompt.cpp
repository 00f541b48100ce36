// When the version query's answer brings up the update box, and what its
// buttons open through the shell.
#include "fakeservices.h"
#include "updateprompt.h"

#include <QtTest>

class TestUpdatePrompt : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { ConfiguratorPlatform::installNative(); }

    void answer_data()
    {
        QTest::addColumn<int>("rCode");
        QTest::addColumn<QString>("rMsg");
        QTest::addColumn<bool>("sure");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("opened"); // "" for nothing
        const QString url = "https://example.com/velko-1.0.exe";
        QTest::newRow("running version") << 0 << "pass" << true << false << "";
        QTest::newRow("other version, sure") << 0 << url << true << true << url;
        QTest::newRow("other version, cancel") << 0 << url << false << true << "";
        QTest::newRow("network failure") << -1 << "Network Error" << true << false << "";
        // The shell would start a program or open a file: only the web goes on.
        QTest::newRow("a program") << 0 << "calc.exe" << true << true << "";
        QTest::newRow("a file") << 0 << "file:///C:/Windows/System32/cmd.exe" << true << true << "";
        QTest::newRow("a network share") << 0 << "\\\\host\\share\\setup.exe" << true << true << "";
        QTest::newRow("no host") << 0 << "https:setup.exe" << true << true << "";
        QTest::newRow("nothing") << 0 << "" << true << true << "";
        QTest::newRow("upper case, blanks") << 0 << " HTTP://Example.com/v 1.exe " << true << true
                                            << "http://example.com/v%201.exe";
    }
    void answer()
    {
        QFETCH(int, rCode);
        QFETCH(QString, rMsg);
        QFETCH(bool, sure);
        QFETCH(bool, shown);
        QFETCH(QString, opened);
        FakeServices fakes;
        fakes.install();
        UpdatePrompt prompt;
        prompt.versionAnswered(rCode, rMsg);
        QCOMPARE(prompt.shown(), shown);
        if (sure)
            prompt.confirm();
        else
            prompt.cancel();
        QVERIFY(!prompt.shown());
        QStringList seen; // "<file> <showCmd>"
        for (const fake::FakeShell::Open &open : fakes.shell->opened())
            seen << QString::fromStdString(open.file) + ' ' + QString::number(open.showCmd);
        QCOMPARE(seen, opened.isEmpty() ? QStringList() : QStringList{opened + " 1"});
    }
};

QTEST_MAIN(TestUpdatePrompt)
#include "tst_updateprompt.moc"
