#include "accountforms.h"

#include <QCoreApplication>
#include <QtQml>

#include <algorithm>

namespace {

constexpr int kEmpty = -1;

// A message and, where one English text serves two meanings, the note that gives
// each its own translation.
struct Message
{
    const char *source;
    const char *disambiguation = nullptr;
};

// One check of a form: the field must not be empty (other == kEmpty), or must
// equal the other field. A form's checks run in the order listed.
struct Check
{
    AccountForms::Form form;
    int field;
    int other;
    Message message;
};

const Check kChecks[] = {
    // The log-in form's first field is the mailbox.
    {AccountForms::Login, 0, kEmpty,
     QT_TRANSLATE_NOOP3("AccountForms", "Username can not be empty", "log-in mailbox")},
    {AccountForms::Login, 1, kEmpty,
     QT_TRANSLATE_NOOP("AccountForms", "Password can not be blank")},
    {AccountForms::Register, 0, kEmpty,
     QT_TRANSLATE_NOOP("AccountForms", "Username can not be empty")},
    {AccountForms::Register, 1, kEmpty,
     QT_TRANSLATE_NOOP("AccountForms", "Email address cannot be empty")},
    {AccountForms::Register, 2, kEmpty,
     QT_TRANSLATE_NOOP("AccountForms", "Password can not be blank")},
    {AccountForms::Register, 2, 3,
     QT_TRANSLATE_NOOP("AccountForms", "Inconsistent password before and after")},
    {AccountForms::ForgetPasswd, 0, kEmpty,
     QT_TRANSLATE_NOOP("AccountForms", "Mailbox address cannot be empty")},
    {AccountForms::VerificationCode, 0, kEmpty,
     QT_TRANSLATE_NOOP("AccountForms", "The verification code is not empty")},
    {AccountForms::ResetPasswd, 0, kEmpty,
     QT_TRANSLATE_NOOP("AccountForms", "Password can not be blank")},
    {AccountForms::ResetPasswd, 0, 1, QT_TRANSLATE_NOOP("AccountForms", "Password inconsistency")},
    {AccountForms::SignOutPage, 1, 2,
     QT_TRANSLATE_NOOP("AccountForms", "Inconsistent password before and after")},
};

int gTickMs = 1000;
int gHoldMs = 3000;

} // namespace

QString AccountForms::firstError(Form form, const QStringList &fields) const
{
    for (const Check &check : kChecks) {
        if (check.form != form)
            continue;
        const QString text = fields.value(check.field);
        const bool failed =
            check.other == kEmpty ? text.isEmpty() : text != fields.value(check.other);
        if (failed)
            return QCoreApplication::translate("AccountForms", check.message.source,
                                               check.message.disambiguation);
    }
    return QString();
}

QString AccountForms::syncResultText(Sync sync, int rCode, const QString &rMsg) const
{
    if (rCode != 0)
        return rMsg;
    return sync == Upload ? tr("Upload success") : tr("Download success");
}

const QString EmailValidator::kPattern =
    QStringLiteral("^[a-zA-Z0-9_-]+@[a-zA-Z0-9_-]+(\\.[a-zA-Z0-9_-]+)+$");

EmailValidator::EmailValidator(QObject *parent)
    : QRegularExpressionValidator(QRegularExpression(kPattern), parent)
{
}

const QString PasswordValidator::kOtherCharacters =
    QStringLiteral("-`=\\;',./~!@#$%^&*()_+|{}:\"<>?");

QValidator::State PasswordValidator::validate(QString &input, int &) const
{
    bool digit = false, letter = false, other = false;
    for (const QChar c : qAsConst(input)) {
        const ushort u = c.unicode();
        if (u >= '0' && u <= '9')
            digit = true;
        else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z'))
            letter = true;
        else if (kOtherCharacters.contains(c))
            other = true;
        else
            return Invalid;
    }
    return digit && letter && other ? Acceptable : Intermediate;
}

int CompletedFields::count() const
{
    return int(std::count(m_completed.begin(), m_completed.end(), true));
}

void CompletedFields::focusChanged(int field, const QString &text)
{
    if (!text.isEmpty())
        set(field, true);
}

void CompletedFields::textEdited(int field, const QString &text)
{
    if (text.isEmpty())
        set(field, false);
    else if (count() == kFields - 1)
        set(field, true);
}

void CompletedFields::reset()
{
    for (int field = 0; field < kFields; ++field)
        set(field, false);
}

void CompletedFields::set(int field, bool completed)
{
    if (field < 0 || field >= kFields || m_completed[size_t(field)] == completed)
        return;
    m_completed[size_t(field)] = completed;
    emit countChanged();
}

void VerificationCountdown::setDefaultTickMs(int milliseconds)
{
    gTickMs = milliseconds;
}

VerificationCountdown::VerificationCountdown(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(gTickMs);
    connect(&m_timer, &QTimer::timeout, this, &VerificationCountdown::tick);
}

void VerificationCountdown::setRunning(bool running)
{
    if (running == this->running() || (running && m_remaining == 0))
        return;
    if (running)
        m_timer.start();
    else
        m_timer.stop();
    emit runningChanged();
}

void VerificationCountdown::tick()
{
    --m_remaining;
    emit remainingChanged();
    if (m_remaining == 0)
        setRunning(false);
}

void TimedMessage::setDefaultHoldMs(int milliseconds)
{
    gHoldMs = milliseconds;
}

TimedMessage::TimedMessage(QObject *parent) : QObject(parent)
{
    m_hold.setSingleShot(true);
    m_hold.setInterval(gHoldMs);
    connect(&m_hold, &QTimer::timeout, this, [this] {
        show(QString());
        emit cleared();
    });
}

void TimedMessage::show(const QString &text)
{
    if (text.isEmpty())
        m_hold.stop();
    else
        m_hold.start();
    if (text != m_text) {
        m_text = text;
        emit textChanged();
    }
}

void registerAccountPageTypes()
{
    const char *uri = "Account.Pages";
    qmlRegisterSingletonType<AccountForms>(
        uri, 1, 0, "AccountForms",
        [](QQmlEngine *, QJSEngine *) -> QObject * { return new AccountForms; });
    qmlRegisterType<EmailValidator>(uri, 1, 0, "EmailValidator");
    qmlRegisterType<PasswordValidator>(uri, 1, 0, "PasswordValidator");
    qmlRegisterType<CompletedFields>(uri, 1, 0, "CompletedFields");
    qmlRegisterType<VerificationCountdown>(uri, 1, 0, "VerificationCountdown");
    qmlRegisterType<TimedMessage>(uri, 1, 0, "TimedMessage");
}
