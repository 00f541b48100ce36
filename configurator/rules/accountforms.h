// The rules of the account pages, kept out of the page documents so that they can
// be checked on their own: the field checks of each form in their order, the two
// input patterns, the completed-field count that enables "Save" on the account
// page, the verification countdown and the error line that clears itself.
// Registered for the pages as module Account.Pages 1.0 (registerAccountPageTypes).
#pragma once

#include <QObject>
#include <QRegularExpressionValidator>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QValidator>

#include <array>

class AccountForms : public QObject
{
    Q_OBJECT
public:
    // The forms whose fields are checked before anything is sent.
    enum Form { Login, Register, ForgetPasswd, VerificationCode, ResetPasswd, SignOutPage };
    Q_ENUM(Form)
    enum Sync { Upload, Download };
    Q_ENUM(Sync)

    explicit AccountForms(QObject *parent = nullptr) : QObject(parent) {}

    // The message of the first check of the form that the fields (in the form's
    // order) fail, translated; empty when all pass. Fields missing from the list
    // count as empty.
    Q_INVOKABLE QString firstError(Form form, const QStringList &fields) const;

    // The information box's text for a sync result: "Upload success" or "Download
    // success" (translated) for code 0, otherwise the result's own text.
    Q_INVOKABLE QString syncResultText(Sync sync, int rCode, const QString &rMsg) const;

    // The server's answer to a request made with a session it no longer knows
    // (ended by a password change, expired, or signed out elsewhere): "Please log in
    // again".
    static constexpr int kSessionUnknown = 2007;
    // Whether a reply with this code ends the session here too, so that the user is
    // asked to sign in again instead of keeping a session that no longer works.
    Q_INVOKABLE bool endsSession(int rCode) const { return rCode == kSessionUnknown; }
};

// The e-mail pattern; partial addresses can be typed, nothing else.
class EmailValidator : public QRegularExpressionValidator
{
    Q_OBJECT
public:
    static const QString kPattern;
    explicit EmailValidator(QObject *parent = nullptr);
};

// Letters, digits and -`=\;',./~!@#$%^&*()_+|{}:"<>? only; a password is complete
// (Acceptable) when it holds at least one digit, one letter and one other character.
class PasswordValidator : public QValidator
{
    Q_OBJECT
public:
    static const QString kOtherCharacters;
    explicit PasswordValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};

// The count of completed fields of the password change (old, new, repeated) that
// enables "Save" at 3. A field holding text counts once it loses or gains focus, or
// at once when typed into while the other two count; it stops counting when emptied.
class CompletedFields : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(bool saveEnabled READ saveEnabled NOTIFY countChanged)
public:
    static constexpr int kFields = 3;
    explicit CompletedFields(QObject *parent = nullptr) : QObject(parent) {}

    int count() const;
    bool saveEnabled() const { return count() == kFields; }

    // Field 0, 1 or 2 with the text it holds now.
    Q_INVOKABLE void focusChanged(int field, const QString &text);
    Q_INVOKABLE void textEdited(int field, const QString &text);
    // After "Save" clears the fields.
    Q_INVOKABLE void reset();

signals:
    void countChanged();

private:
    void set(int field, bool completed);
    std::array<bool, kFields> m_completed{};
};

// Counts down once a tick from 60 while running and stops at 0; stopping and
// running again continues where it stood.
class VerificationCountdown : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int remaining READ remaining NOTIFY remainingChanged)
    Q_PROPERTY(bool running READ running WRITE setRunning NOTIFY runningChanged)
public:
    static constexpr int kStart = 60;
    // The tick of countdowns created from now on (1000 ms unless a test shortens it).
    static void setDefaultTickMs(int milliseconds);

    explicit VerificationCountdown(QObject *parent = nullptr);
    int remaining() const { return m_remaining; }
    bool running() const { return m_timer.isActive(); }
    void setRunning(bool running);

signals:
    void remainingChanged();
    void runningChanged();

private:
    void tick();
    QTimer m_timer;
    int m_remaining = kStart;
};

// One line of error text that clears itself 3 s after it was last set.
class TimedMessage : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text NOTIFY textChanged)
public:
    // The hold of messages created from now on (3000 ms unless a test shortens it).
    static void setDefaultHoldMs(int milliseconds);

    explicit TimedMessage(QObject *parent = nullptr);
    QString text() const { return m_text; }
    // Shows the text (empty clears at once) and restarts the hold.
    Q_INVOKABLE void show(const QString &text);

signals:
    void textChanged();
    // The hold ran out and the line was cleared.
    void cleared();

private:
    QTimer m_hold;
    QString m_text;
};

// Registers the types above under Account.Pages 1.0 (AccountForms as a singleton).
void registerAccountPageTypes();
