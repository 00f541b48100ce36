#include "accountforms.h"

#include <QtTest>

class TestAccountForms : public QObject
{
    Q_OBJECT

private slots:
    void firstError_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("fields"); // "|" between fields
        QTest::addColumn<QString>("error");
        const auto row = [](const char *tag, AccountForms::Form form, const char *fields,
                            const char *error) {
            QTest::newRow(tag) << int(form) << fields << error;
        };
        using F = AccountForms;
        row("login: no password", F::Login, "a@b.c|", "Password can not be blank");
        row("login: complete", F::Login, "a@b.c|pw", "");
        row("register: no mailbox", F::Register, "Ann||p1!|x", "Email address cannot be empty");
        row("register: repetition missing", F::Register, "Ann|a@b.c|p1!a",
            "Inconsistent password before and after");
        row("register: complete", F::Register, "Ann|a@b.c|p1!a|p1!a", "");
        row("forget: empty", F::ForgetPasswd, "", "Mailbox address cannot be empty");
        row("verify: empty", F::VerificationCode, "", "The verification code is not empty");
        row("reset: empty", F::ResetPasswd, "|p1!a", "Password can not be blank");
        row("reset: differ", F::ResetPasswd, "p1!a|p1!A", "Password inconsistency");
        row("change: old left out", F::SignOutPage, "|p1!a|p1!a", "");
        row("change: differ", F::SignOutPage, "o1!|p1!a|p1!b",
            "Inconsistent password before and after");
    }

    void firstError()
    {
        QFETCH(int, form);
        QFETCH(QString, fields);
        QFETCH(QString, error);
        QCOMPARE(AccountForms().firstError(AccountForms::Form(form), fields.split('|')), error);
    }

    void patterns_data()
    {
        QTest::addColumn<bool>("email");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("state");
        const int invalid = QValidator::Invalid, partial = QValidator::Intermediate,
                  done = QValidator::Acceptable;
        QTest::newRow("mail: complete") << true << "ann_b-1@mail.example.com" << done;
        QTest::newRow("mail: no domain yet") << true << "ann@" << partial;
        QTest::newRow("mail: starts with @") << true << "@example.com" << invalid;
        QTest::newRow("mail: blank") << true << "ann @example.com" << invalid;
        QTest::newRow("pw: every kind") << false << "1a-`=\\;',./~!@#$%^&*()_+|{}:\"<>?" << done;
        QTest::newRow("pw: no digit") << false << "abc!" << partial;
        QTest::newRow("pw: no other") << false << "abc123" << partial;
        QTest::newRow("pw: blank") << false << "ab 1!" << invalid;
        QTest::newRow("pw: non-ASCII letter") << false << "ab1!é" << invalid;
    }

    void patterns()
    {
        QFETCH(bool, email);
        QFETCH(QString, text);
        QFETCH(int, state);
        EmailValidator mail;
        PasswordValidator password;
        int pos = text.size();
        QCOMPARE(int((email ? static_cast<QValidator &>(mail) : password).validate(text, pos)),
                 state);
    }

    void countdownStopsAtZeroAndContinues()
    {
        VerificationCountdown::setDefaultTickMs(5);
        VerificationCountdown countdown;
        VerificationCountdown::setDefaultTickMs(1000);
        QSignalSpy ticks(&countdown, &VerificationCountdown::remainingChanged);
        connect(&countdown, &VerificationCountdown::remainingChanged, this, [&countdown] {
            if (countdown.remaining() == 50)
                countdown.setRunning(false); // the page hidden: it holds
        });
        countdown.setRunning(true);
        QTRY_VERIFY(!countdown.running());
        QTest::qWait(30);
        QCOMPARE(countdown.remaining(), 50);
        countdown.setRunning(true);
        QTRY_VERIFY(!countdown.running());
        QTest::qWait(30);
        QCOMPARE(countdown.remaining(), 0);
        QCOMPARE(ticks.size(), 60);
        countdown.setRunning(true); // shown again: stays at 0
        QVERIFY(!countdown.running());
    }

};

QTEST_GUILESS_MAIN(TestAccountForms)
#include "tst_accountforms.moc"
