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
        row("login: both empty", F::Login, "|", "Username can not be empty");
        row("login: no password", F::Login, "a@b.c|", "Password can not be blank");
        row("login: complete", F::Login, "a@b.c|pw", "");
        row("register: all empty", F::Register, "|||", "Username can not be empty");
        row("register: no mailbox", F::Register, "Ann||p1!|x", "Email address cannot be empty");
        row("register: no password", F::Register, "Ann|a@b.c||p1!", "Password can not be blank");
        row("register: one character off", F::Register, "Ann|a@b.c|p1!a|p1!b",
            "Inconsistent password before and after");
        row("register: repetition missing", F::Register, "Ann|a@b.c|p1!a",
            "Inconsistent password before and after");
        row("register: complete", F::Register, "Ann|a@b.c|p1!a|p1!a", "");
        row("forget: empty", F::ForgetPasswd, "", "Mailbox address cannot be empty");
        row("verify: empty", F::VerificationCode, "", "The verification code is not empty");
        row("verify: code", F::VerificationCode, "123456", "");
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
        QTest::newRow("mail: no dot yet") << true << "ann@example" << partial;
        QTest::newRow("mail: starts with @") << true << "@example.com" << invalid;
        QTest::newRow("mail: blank") << true << "ann @example.com" << invalid;
        QTest::newRow("mail: two @") << true << "a@b@c.d" << invalid;
        QTest::newRow("pw: every kind") << false << "1a-`=\\;',./~!@#$%^&*()_+|{}:\"<>?" << done;
        QTest::newRow("pw: other order") << false << "!Z9" << done;
        QTest::newRow("pw: no digit") << false << "abc!" << partial;
        QTest::newRow("pw: no letter") << false << "123!" << partial;
        QTest::newRow("pw: no other") << false << "abc123" << partial;
        QTest::newRow("pw: blank") << false << "ab 1!" << invalid;
        QTest::newRow("pw: bracket") << false << "ab1[" << invalid;
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

    void saveRule_data()
    {
        // Steps: "f<field><text>" focus change while holding the text, "t<field><text>"
        // a change to that text, "r" reset; the count after each step.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("counts");
        QTest::newRow("typed and tabbed through") << "t0o f0o f1 t1n f1n f2 t2n"
                                                  << "0 1 1 1 2 2 3";
        QTest::newRow("one field focused back and forth") << "t0o f0o f0o f0o"
                                                          << "0 1 1 1";
        QTest::newRow("empty field focused") << "f0 f1 f2"
                                             << "0 0 0";
        QTest::newRow("emptied") << "f0o f1n f2n t1 t1n"
                                 << "1 2 3 2 3";
        QTest::newRow("uncounted field emptied") << "f0o t1n t1"
                                                 << "1 1 1";
        QTest::newRow("cleared after save") << "f0o f1n f2n r t2n"
                                            << "1 2 3 0 0";
    }

    void saveRule()
    {
        QFETCH(QString, steps);
        QFETCH(QString, counts);
        CompletedFields fields;
        QStringList seen;
        for (const QString &step : steps.split(' ')) {
            if (step == "r")
                fields.reset();
            else if (step[0] == 'f')
                fields.focusChanged(step.mid(1, 1).toInt(), step.mid(2));
            else
                fields.textEdited(step.mid(1, 1).toInt(), step.mid(2));
            QCOMPARE(fields.saveEnabled(), fields.count() == 3);
            seen << QString::number(fields.count());
        }
        QCOMPARE(seen.join(' '), counts);
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

    void messageClearsAfterItsHold()
    {
        TimedMessage::setDefaultHoldMs(60);
        TimedMessage message;
        TimedMessage::setDefaultHoldMs(3000);
        QSignalSpy cleared(&message, &TimedMessage::cleared);
        message.show("first");
        QTest::qWait(40);
        message.show("second"); // a new message is held afresh
        QTest::qWait(40);
        QCOMPARE(message.text(), QStringLiteral("second"));
        QTRY_COMPARE(message.text(), QString());
        QCOMPARE(cleared.size(), 1);
        message.show("third");
        message.show(QString()); // cleared at once: nothing left to clear later
        QTest::qWait(100);
        QCOMPARE(cleared.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestAccountForms)
#include "tst_accountforms.moc"
